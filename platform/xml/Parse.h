#pragma once
// Parsing markup into the library's document with the checks of a conforming parser that
// the library leaves out: one root element and no text beside it, no undefined entity or
// bare "&", no "<" in an attribute value, no attribute given twice.
#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace platform::xml {

// `bytes` are UTF-8 text (loadXML), or the raw bytes of a file whose encoding the parser
// detects (byte-order mark, declaration). They are parsed in place: the document's names and
// values point into them, so they must live as long as the document (and are changed). False,
// with `error` set, when not well-formed.
bool ParseMarkup(std::string& bytes, bool fromFile, pugi::xml_document& doc, std::string* error);

}  // namespace platform::xml
