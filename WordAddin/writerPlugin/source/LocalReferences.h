#pragma once
// What a downloaded document may not name: a file of this computer or of a network share. Word
// reads what the page the add-in writes for it names (a picture, a style sheet, a frame) when it
// opens that page, and the next save or publish sends it online: anyone who can change the online
// document could so collect the user's files. Addresses on the web (http, https, ftp, on any
// host) and inline data stay as they are, so that a document keeps its pictures of other sites.
#include <string>
#include <string_view>

#include "platform/html/HtmlDocument.h"

namespace tavo::writer {

// Whether an address, read as a page opened from disk reads it, names a file of this computer
// or of a share: a path (absolute, relative, UNC, "//server/..."), a file: URL, or an address of
// any other scheme than the web's and inline data (which a system may resolve to a file). "" and
// "#..." name the page itself.
bool NamesLocalFile(std::string_view address);

// The style sheet (or an element's inline declarations) without the declarations and rules that
// name such a file: url(), @import, image-set() and the like, filter picture loaders. The rest is
// kept byte for byte.
std::string CssWithoutLocalFiles(std::string_view css);

// Takes every address that names such a file out of the page: the attribute that holds it (a
// picture's src or lowsrc, a fill, a background, a linked style sheet, a frame, object or embed
// source, a refresh), the style declaration or rule that holds it; a frame's inline page is
// cleaned in turn. True when anything was taken out.
bool RemoveLocalFileReferences(const platform::html::Document& page);

}  // namespace tavo::writer
