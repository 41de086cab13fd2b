// The page oracle must accept the pages the listing writes and refuse each
// way a writer can break one, or the fuzz target proves nothing.
#include "page_check.h"

#include <gtest/gtest.h>

#include <string>

namespace folios::fuzz {
namespace {

std::string Page(const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>t</title>\n"
         "<style>\n.c{content:\"\\2193\"}\n</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

bool Accepts(const std::string& html) {
  std::string problem;
  bool ok = CheckPage(html, &problem);
  EXPECT_TRUE(ok || !problem.empty()) << "a refusal must say why";
  return ok;
}

TEST(PageCheck, AcceptsWellFormedPages) {
  EXPECT_TRUE(Accepts(Page("")));
  EXPECT_TRUE(Accepts(Page("<div class=\"l\" id=\"a\"><a class=\"n\" href=\"#a\" data-n=\"1\"></a>"
                           "x &lt; y &amp;&amp; &quot;z&quot; &#39;\xe2\x86\x93<br></div>\n<hr class=\"sep\">\n")));
}

TEST(PageCheck, RefusesWhatABrowserWouldMisread) {
  EXPECT_FALSE(Accepts(Page("<div>a < b</div>")));           // "<" in text
  EXPECT_FALSE(Accepts(Page("<div>a<b</div>")));             // a tag made of text
  EXPECT_FALSE(Accepts(Page("<div>a > b</div>")));           // ">" in text
  EXPECT_FALSE(Accepts(Page("<div>a & b</div>")));           // a bare "&"
  EXPECT_FALSE(Accepts(Page("<div>a &nbsp; b</div>")));      // an entity the writer never uses
  EXPECT_FALSE(Accepts(Page("<div>\x1b</div>")));            // a raw control character
  EXPECT_FALSE(Accepts(Page("<div>\xe9</div>")));            // not UTF-8
  EXPECT_FALSE(Accepts(Page("<div title=\"a<b\"></div>")));  // an angle in an attribute
  EXPECT_FALSE(Accepts(Page("<div><span></div></span>")));   // closed out of order
  EXPECT_FALSE(Accepts(Page("<div>")));                      // never closed
  EXPECT_FALSE(Accepts(Page("</div>")));                     // closes nothing
  EXPECT_FALSE(Accepts(Page("<div class=\"x></div>")));      // an attribute left open
  EXPECT_FALSE(Accepts(Page("") + "<p>after</p>\n</html>\n"));
  EXPECT_FALSE(Accepts("<html></html>\n"));                  // no doctype
  EXPECT_FALSE(Accepts(Page("").substr(0, Page("").size() - 1)));  // cut short
}

}  // namespace
}  // namespace folios::fuzz
