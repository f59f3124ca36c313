#include "common/requests/XmlBody.h"

#include "platform/core/Text.h"

namespace tavo {

std::string XmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string CdataSection(std::string_view text) {
  return "<![CDATA[" + platform::text::Replace(text, "]]>", "]]]]><![CDATA[>") + "]]>";
}

}  // namespace tavo
