#pragma once
// Values inside the XML bodies of the service requests. Names, ids and other member values go
// in as escaped text and contents as CDATA sections, so the service reads back exactly the
// text the add-in holds: a document name with "&" or "<" and a content holding "]]>" arrive
// unchanged instead of breaking the request.
#include <string>
#include <string_view>

namespace tavo {

// The text with "&", "<" and ">" written as entity references.
std::string XmlText(std::string_view text);
// "<![CDATA[" text "]]>", every "]]>" in the text split across two sections.
std::string CdataSection(std::string_view text);

}  // namespace tavo
