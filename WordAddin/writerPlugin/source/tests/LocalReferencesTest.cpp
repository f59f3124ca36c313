#include "WordAddin/writerPlugin/source/LocalReferences.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/Text.h"

namespace tavo::writer {
namespace {

namespace html = platform::html;

TEST(LocalReferences, AddressesThatNameAFileOfThisComputerOrAShare) {
  const struct {
    const char* address;
    bool local;
  } cases[] = {
      {"C:\\Users\\tavo\\Pictures\\a.png", true},
      {"c:/users/tavo/a.png", true},
      {"C|/a.png", true},
      {"/etc/passwd", true},
      {"\\Windows\\a.png", true},
      {"a.png", true},
      {"./pics/a.png", true},
      {"../../a.png", true},
      {"\\\\server\\share\\a.png", true},
      {"//server/share/a.png", true},
      {"file:///C:/a.png", true},
      {"FILE://server/share/a.png", true},
      {"  \tfi\tle:///C:/a.png\n", true},
      {"mhtml:file://C:/a.mht!a.png", true},
      {"javascript:alert(1)", true},
      {"http://elsewhere.example/a.png", false},
      {"HTTPS://elsewhere.example/a.png", false},
      {" https://writer.tavo.example/pictures/1.png ", false},
      {"ftp://elsewhere.example/a.png", false},
      {"data:image/png;base64,iVBORw0KGgo=", false},
      {"#default#VML", false},
      {"", false},
      {"   ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NamesLocalFile(c.address), c.local) << c.address;
}

// A declaration or rule that names such a file goes, with whatever way of writing it a reader
// understands; everything else stays as it was written.
TEST(LocalReferences, StyleSheetsLoseOnlyWhatNamesALocalFile) {
  const struct {
    const char* css;
    const char* kept;
  } cases[] = {
      {"width: 20px; background: url(file:///C:/a.png) no-repeat; height: 10px", "width: 20px;; height: 10px"},
      {"background-image:url( \"C:\\\\a.png\" )", ""},
      {"background-image:URL('..\\\\a.png');color:red", ";color:red"},
      {"background:\\75 rl(f\\69le:///C:/a.png)", ""},                  // escapes
      {"background:u\\72l(//server/share/a.png)", ""},
      {"p{color:red;background:url(a.png)}q{}", "p{color:red;}q{}"},
      {"@import \"file:///C:/a.css\";p{}", ";p{}"},
      {"@import url(a.css) screen; @media print{p{list-style:url(C:/b.png)}}", "; @media print{p{}}"},
      {"p{background-image:image-set(\"a.png\" 1x, \"http://x.example/b.png\" 2x)}", "p{}"},
      {"p{filter:progid:DXImageTransform.Microsoft.AlphaImageLoader(src='C:\\\\a.png',sizingMethod='scale')}",
       "p{}"},
      {"p{-ms-filter:\"progid:DXImageTransform.Microsoft.AlphaImageLoader(src='a.png')\"}", "p{}"},
      {"p{content:\"/*\";background:url(a.png)}", "p{content:\"/*\";}"},  // a string is no comment
      {"p{background:url(a.png", "p{"},                                    // left open
      // What names no file of this computer stays.
      {"v\\:* {behavior:url(#default#VML);}", "v\\:* {behavior:url(#default#VML);}"},
      {"p{background:url(http://elsewhere.example/a.png) /* url(a.png) */}",
       "p{background:url(http://elsewhere.example/a.png) /* url(a.png) */}"},
      {"p{background:url(data:image/png;base64,AAAA)}", "p{background:url(data:image/png;base64,AAAA)}"},
      {"p{font-family:\"Times New Roman\";content:\"a.png\"}", "p{font-family:\"Times New Roman\";content:\"a.png\"}"},
      {"p{filter:progid:DXImageTransform.Microsoft.AlphaImageLoader(src='http://x.example/a.png',sizingMethod='scale')}",
       "p{filter:progid:DXImageTransform.Microsoft.AlphaImageLoader(src='http://x.example/a.png',sizingMethod='scale')}"},
      {"@namespace v url(urn:schemas-microsoft-com:vml);", "@namespace v url(urn:schemas-microsoft-com:vml);"},
  };
  for (const auto& c : cases) EXPECT_EQ(CssWithoutLocalFiles(c.css), c.kept) << c.css;
}

// Every place a page can name a file to be fetched, each given a file of this computer and a
// picture of another web site: the file goes, the web address and the rest of the page stay.
TEST(LocalReferences, EveryPlaceAPageNamesAFileLosesItAndKeepsWebAddresses) {
  const char* places[] = {
      "<img src=\"%\" style=\"width:20px\">",
      "<img src=\"http://elsewhere.example/low.png\" lowsrc=\"%\">",
      "<img srcset=\"http://elsewhere.example/1.png 1x, % 2x\">",
      "<img dynsrc=\"%\">",
      "<v:shape style=\"width:2px\"><v:imagedata src=\"%\" o:title=\"t\"/></v:shape>",
      "<v:shape><v:imagedata src=\"http://elsewhere.example/p.png\" o:href=\"%\"/></v:shape>",
      "<v:rect><v:fill type=\"frame\" src=\"%\"/></v:rect>",
      "<p style=\"color:red;background-image:url('%')\">x</p>",
      "<style type=\"text/css\">p{color:red}td{background:url(%)}</style>",
      "<style>@import \"%\";</style>",
      "<link rel=\"stylesheet\" href=\"%\">",
      "<base href=\"%\">",
      "<table background=\"%\"><tr><td background=\"%\">x</td></tr></table>",
      "<body background=\"%\"><p>x</p></body>",
      "<iframe src=\"%\"></iframe>",
      "<frameset><frame src=\"%\"></frameset>",
      "<iframe srcdoc=\"&lt;img src=&quot;%&quot;&gt;\"></iframe>",
      "<object data=\"%\" type=\"image/png\"></object>",
      "<object classid=\"clsid:0\" codebase=\"%\"><param name=\"Movie\" value=\"%\"></object>",
      "<embed src=\"%\">",
      "<video poster=\"%\"></video>",
      "<input type=\"image\" src=\"%\">",
      "<script src=\"%\"></script>",
      "<svg><image xlink:href=\"%\"/></svg>",
      "<meta http-equiv=\"Refresh\" content=\"0; url=%\">",
      "<meta http-equiv=\"refresh\" content=\"5;'%'\">",
  };
  const std::string local = "file:///C:/Users/tavo/Pictures/secret.png";
  const std::string web = "https://elsewhere.example/secret.png";
  for (const char* place : places) {
    SCOPED_TRACE(place);
    for (const std::string& address : {local, web, std::string("secret.png"), std::string("\\\\server\\s\\secret.png")}) {
      html::Document page = html::Document::FromText(platform::text::Replace(place, "%", address));
      const std::string before = page.documentElement().outerHTML();
      const bool removed = RemoveLocalFileReferences(page);
      const std::string after = page.documentElement().outerHTML();
      if (address == web) {
        EXPECT_FALSE(removed);
        EXPECT_EQ(after, before);
      } else {
        EXPECT_TRUE(removed) << address;
        EXPECT_EQ(after.find("secret"), std::string::npos) << after;
        // The web pictures beside it and the sizes stay.
        for (const char* kept : {"elsewhere.example/", "width:2"}) {
          if (before.find(kept) != std::string::npos) {
            EXPECT_NE(after.find(kept), std::string::npos) << after;
          }
        }
      }
    }
  }
  // A link the user may follow stays: nothing fetches it.
  html::Document page;
  page.body().setInnerHTML("<a href=\"C:\\Users\\tavo\\notes.doc\">notes</a>");
  EXPECT_FALSE(RemoveLocalFileReferences(page));
}

}  // namespace
}  // namespace tavo::writer
