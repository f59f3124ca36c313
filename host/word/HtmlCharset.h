#pragma once
// The text of an HTML file's bytes, read as Word reads a page: in the charset the page declares
// (a UTF-8 byte-order mark, or a meta element before the body: <meta charset="gbk"> or
// <meta http-equiv="Content-Type" content="text/html; charset=shift_jis">), else, and for a
// charset it does not know, in the system's code page.
#include <string>
#include <string_view>

namespace host::word {

std::string HtmlPageText(std::string_view bytes);

}  // namespace host::word
