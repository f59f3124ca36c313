#pragma once
// Word's HTML: the export written by SaveAs in the HTML format and the import of an HTML file.
//
// Export: one <p> per paragraph. An embedded picture is a v:shape holding exactly one
// v:imagedata (no whitespace between them) whose src is "./<base>_files/imageNNN.<type>", the
// picture itself written into the folder <base>_files beside the HTML file. An emz or wmz
// picture also gets a GIF rendering under the next number (image001.emz, image002.gif), as
// browsers cannot show those types. A linked (remote) picture stays a plain IMG.
//
// Blanks and tabs that a reader of HTML would collapse or drop (two or more in a row, a tab, a
// blank at either end of a paragraph) go into a span of the class kBlankRunClass, the blanks as
// non-breaking spaces, the tabs as they are.
//
// Import: the body's paragraphs (p, div, headings, list items, br) with their text, whitespace
// collapsed as a browser does but in such a span, which gives back the blanks and tabs it holds
// (a non-breaking space elsewhere stays one); IMG elements and v:shape/v:imagedata pictures. A
// picture whose address is remote stays linked, with its width and height; a local one of a
// picture type (Story.h) is read from its file (Open reads only those in the page's own folder
// or below it, as a browser does), and one of any other type stays linked too. The file's
// bytes are read in the charset the page declares (a UTF-8 byte-order mark, or a meta element
// before the body), else in the system's code page.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/word/Story.h"

namespace host::word {

inline constexpr std::string_view kBlankRunClass = "blanks";

struct HtmlExport {
  std::string html;
  std::vector<std::pair<std::string, std::string>> files;  // name inside <base>_files, bytes
};

HtmlExport ExportHtml(const Items& items, std::string_view baseName);

// Reads the bytes of a picture given by its address as written in the HTML; nullopt when
// there is no such file.
using PictureReader = std::function<std::optional<std::string>(std::string_view src)>;

Items ImportHtml(std::string_view bytes, const PictureReader& readPicture);

// Whether an address names a remote picture (http:, https:, ftp:, data: ...).
bool IsRemoteAddress(std::string_view src);

}  // namespace host::word
