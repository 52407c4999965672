#include <gtest/gtest.h>

#include "Foundation/PlainTextFromHTML.h"

using platform::plainTextFromHTML;

TEST(PlainTextFromHTMLTest, BlocksBreakLinesAndWhiteSpaceCollapses) {
  EXPECT_EQ(plainTextFromHTML("<html><body><h1>Title</h1>\n  <p>One\n   two</p><div>three<br>"
                              "four</div><ul><li>a</li><li>b</li></ul></body></html>"),
            "Title\nOne two\nthree\nfour\na\nb");
  EXPECT_EQ(plainTextFromHTML("<p>first<p>second"), "first\nsecond");  // implied ends
  EXPECT_EQ(plainTextFromHTML("<b>bold</b> <i>italic</i>"), "bold italic");
  EXPECT_EQ(plainTextFromHTML(""), "");
}

TEST(PlainTextFromHTMLTest, ReferencesAreDecodedAndBareBracketsStayText) {
  EXPECT_EQ(plainTextFromHTML("Hello &amp; welcome&nbsp;&#65;&#x42; &quot;q&quot; &#39;s&#39;"),
            "Hello & welcome\u00A0AB \"q\" 's'");
  EXPECT_EQ(plainTextFromHTML("3 &lt; 4 &gt; 2, a < b"), "3 < 4 > 2, a < b");
  EXPECT_EQ(plainTextFromHTML("x &unknown; y"), "x &unknown; y");
}

TEST(PlainTextFromHTMLTest, HiddenTextQuotedBracketsAndCommentsNeverShow) {
  EXPECT_EQ(plainTextFromHTML("<html><head><title>T</title><style>p > b { color: red }</style>"
                              "</head><body><script>if (a > b) alert('x')</script>Shown"
                              "<!-- a > comment --></body></html>"),
            "Shown");
  EXPECT_EQ(plainTextFromHTML("<a title=\"1 > 0\" href='x>y'>link</a> after"), "link after");
  EXPECT_EQ(plainTextFromHTML("text <b unfinished"), "text");
  // Nesting as deep as real mail gets keeps its text; past the parser's depth limit the
  // rest is dropped, never followed by recursion. Broken bytes read as far as they go.
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "<div>";
  EXPECT_EQ(plainTextFromHTML(deep + "x"), "x");
  for (int i = 0; i < 5000; ++i) deep += "<div>";
  plainTextFromHTML(deep + "x");
  plainTextFromHTML("\xFF\xFE<p>\xC3</p>");
}
