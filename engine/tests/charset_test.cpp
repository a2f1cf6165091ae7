// @brief The charset evidence order and decoding of every supported road to UTF-8.
#include "charset.h"

#include <iconv.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "html_text.h"

namespace dizode {
namespace {

// Help-page prose long enough for a detector to be sure, each written with letters its
// charset has and its neighbours lack or place elsewhere.
constexpr std::string_view kFrench =
    "Pour modifier les paramètres d’impression, ouvrez le menu « Fichier » et choisissez « Mise "
    "en page ». Vous réglez ensuite les marges, l’orientation et la taille du papier – même pour "
    "les œuvres déjà ouvertes ; les changements s’appliquent dès que vous cliquez sur « Appliquer "
    "».";
constexpr std::string_view kRussian =
    "Чтобы изменить параметры печати, откройте меню Файл и выберите пункт Параметры страницы. "
    "В открывшемся окне можно задать поля, ориентацию листа и размер бумаги. Изменения вступают "
    "в силу сразу после нажатия кнопки Применить.";
constexpr std::string_view kJapanese =
    "印刷の設定を変更するには、「ファイル」メニューを開いて「ページ設定」を選びます。"
    "表示された画面で、余白や用紙の向き、用紙の大きさを指定できます。"
    "変更は「適用」ボタンを押すとすぐに反映されます。";
// Undeclared, this reads as KOI8-R to the detector, which garbles the letters KOI8-U adds.
constexpr std::string_view kUkrainian =
    "Щоб змінити параметри друку, відкрийте меню Файл і виберіть пункт Параметри сторінки. У "
    "вікні, що відкриється, можна задати поля, орієнтацію аркуша та розмір паперу. Зміни "
    "набувають чинності одразу після натискання кнопки Застосувати.";

// Test pages are written here in UTF-8 and re-encoded into the charset under test; a failure
// leaves the page empty, which no case expects.
std::string Encode(std::string_view utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  // The library spells its failure as a cast of -1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string in(utf8), out(utf8.size() * 4 + 16, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

std::string Page(std::string_view head, std::string_view title, std::string_view body) {
  return "<html><head>" + std::string(head) + "<title>" + std::string(title) +
         "</title></head><body><p>" + std::string(body) + "</p></body></html>";
}

struct Detection {
  const char* name;
  std::string bytes;
  std::string charset;
  size_t bom;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Detection& c, std::ostream* out) { *out << c.name; }

class DetectCharsetTest : public ::testing::TestWithParam<Detection> {};

TEST_P(DetectCharsetTest, FollowsEvidenceOrder) {
  DetectedCharset detected = DetectCharset(GetParam().bytes);
  EXPECT_EQ(detected.name, GetParam().charset);
  EXPECT_EQ(detected.bomLength, GetParam().bom);
}

INSTANTIATE_TEST_SUITE_P(
    Charset, DetectCharsetTest,
    ::testing::Values(
        Detection{"Utf8Bom", "\xEF\xBB\xBF<meta charset=iso-8859-2>", "utf-8", 3},
        Detection{"Utf16LeBom", std::string("\xFF\xFE<\0", 4), "utf-16le", 2},
        Detection{"Utf16BeBom", std::string("\xFE\xFF\0<", 4), "utf-16be", 2},
        Detection{"Utf32LeBom", std::string("\xFF\xFE\0\0<\0\0\0", 8), "utf-32le", 4},
        Detection{"Utf32BeBom", std::string("\0\0\xFE\xFF\0\0\0<", 8), "utf-32be", 4},
        // Without a mark, the zero bytes of ASCII markup show the layout.
        Detection{"Utf16LeWithoutBom", std::string("<\0p\0>\0x\0<\0/\0p\0>\0", 16), "utf-16le", 0},
        Detection{"Utf16BeWithoutBom", std::string("\0<\0p\0>\0x\0<\0/\0p\0>", 16), "utf-16be", 0},
        Detection{"Utf32LeWithoutBom", std::string("<\0\0\0p\0\0\0>\0\0\0x\0\0\0", 16), "utf-32le",
                  0},
        Detection{"Utf32BeWithoutBom", std::string("\0\0\0<\0\0\0p\0\0\0>\0\0\0x", 16), "utf-32be",
                  0},
        Detection{"StrayNulInAnAsciiPage", std::string("<p>one\0two</p><p>three four</p>", 31),
                  "utf-8", 0},
        Detection{"MetaCharset", "<head><META CHARSET=\"ISO-8859-2\"></head>", "iso-8859-2", 0},
        Detection{"HttpEquiv",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">",
                  "koi8-r", 0},
        Detection{"MetaBeatsXmlDeclaration",
                  "<?xml version=\"1.0\" encoding=\"iso-8859-15\"?><meta charset=utf-8>", "utf-8",
                  0},
        Detection{"XmlDeclaration", "<?xml version=\"1.0\" encoding='ISO-8859-15'?><p>x</p>",
                  "iso-8859-15", 0},
        Detection{"Latin1LabelIsWindows1252", "<meta charset=iso-8859-1>", "windows-1252", 0},
        Detection{"Utf16LabelWithoutBomIsUtf8", "<meta charset=utf-16>", "utf-8", 0},
        Detection{"UndeclaredValidUtf8", "<p>caf\xC3\xA9</p>", "utf-8", 0},
        Detection{"UndeclaredInvalidUtf8", "<p>caf\xE9</p>", "windows-1252", 0},
        Detection{"DeclarationPastFirstKilobyteIgnored",
                  std::string(1100, ' ') + "<meta charset=iso-8859-2><p>\xB1</p>", "windows-1252",
                  0},
        // Declarations that would garble the ASCII they are written in are passed over.
        Detection{"Ucs2LabelInAsciiPage", "<meta charset=ucs-2><p>x</p>", "utf-8", 0},
        Detection{"Utf32LabelInAsciiPage", "<meta charset=\"UTF-32\"><p>x</p>", "utf-8", 0},
        Detection{"Ucs4LabelInAsciiPage", "<meta charset=ucs-4><p>x</p>", "utf-8", 0},
        Detection{"Utf7LabelInAsciiPage", "<meta charset=utf-7><p>x</p>", "utf-8", 0},
        Detection{"Cp1140LabelInAsciiPage", "<meta charset=cp1140><p>x</p>", "utf-8", 0},
        Detection{"UnknownLabelInAsciiPage", "<meta charset=x-no-such><p>x</p>", "utf-8", 0},
        Detection{"MisdeclaredLatinPageFallsBack", "<meta charset=utf-16le><p>caf\xE9</p>",
                  "windows-1252", 0},
        Detection{"NextMetaAfterUnusableOne",
                  "<meta charset=utf-16><meta http-equiv=content-type content='text/html; "
                  "charset=koi8-r'>",
                  "koi8-r", 0},
        Detection{"XmlDeclarationAfterUnusableMeta",
                  "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?><meta charset=ibm500>",
                  "iso-8859-2", 0},
        // Charsets that keep ASCII as it is are taken at their word.
        Detection{"ShiftJisLabel", "<meta charset=Shift_JIS>", "shift_jis", 0},
        Detection{"Iso2022JpLabel", "<meta charset=iso-2022-jp>", "iso-2022-jp", 0},
        Detection{"Gb18030Label", "<meta charset=gb18030>", "gb18030", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct Decoding {
  const char* name;
  std::string bytes;
  std::string charset;
  std::string utf8;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Decoding& c, std::ostream* out) { *out << c.name; }

class DecodeTest : public ::testing::TestWithParam<Decoding> {};

TEST_P(DecodeTest, ProducesUtf8) {
  std::string out = DecodeToUtf8(GetParam().bytes, GetParam().charset);
  EXPECT_EQ(out, GetParam().utf8);
  EXPECT_TRUE(IsValidUtf8(out));
}

INSTANTIATE_TEST_SUITE_P(
    Charset, DecodeTest,
    ::testing::Values(
        Decoding{"Utf8Passes", "caf\xC3\xA9", "utf-8", "caf\xC3\xA9"},
        Decoding{"Utf8InvalidByte",
                 "a\xFF"
                 "b",
                 "utf-8",
                 "a\xEF\xBF\xBD"
                 "b"},
        Decoding{"Utf8Overlong", "\xC0\xAF", "utf-8", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        Decoding{"Utf8Surrogate", "\xED\xA0\x80", "utf-8", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        Decoding{"Utf8Truncated", "ab\xE2\x82", "utf-8", "ab\xEF\xBF\xBD"},
        Decoding{"Windows1252High", "\x80\x93\xE9", "windows-1252",
                 "\xE2\x82\xAC\xE2\x80\x9C\xC3\xA9"},
        Decoding{"Utf16Le", std::string("h\0i\0\xAC\x20", 6), "utf-16le", "hi\xE2\x82\xAC"},
        Decoding{"Utf16BeSurrogatePair", std::string("\xD8\x3D\xDE\x00", 4), "utf-16be",
                 "\xF0\x9F\x98\x80"},
        Decoding{"Utf16LoneSurrogate", std::string("\x00\xD8x\0", 4), "utf-16le", "\xEF\xBF\xBDx"},
        Decoding{"Utf16OddByte", std::string("a\0b", 3), "utf-16le", "a\xEF\xBF\xBD"},
        Decoding{"Utf32Le", std::string("h\0\0\0\xAC\x20\0\0", 8), "utf-32le", "h\xE2\x82\xAC"},
        Decoding{"Utf32BeBeyondUnicodeAndCut", std::string("\0\x11\0\0\0\0\0h\0", 9), "utf-32be",
                 "\xEF\xBF\xBDh\xEF\xBF\xBD"},
        Decoding{"Iso88592ThroughSystem", "\xB1", "iso-8859-2", "\xC4\x85"},
        Decoding{"Iso885915Euro", "\xA4", "iso-8859-15", "\xE2\x82\xAC"},
        Decoding{"InvalidShiftJisByte",
                 "a\x80"
                 "b",
                 "shift_jis",
                 "a\xEF\xBF\xBD"
                 "b"},
        Decoding{"UnknownLabelFallsBackToUtf8", "caf\xC3\xA9", "no-such-charset", "caf\xC3\xA9"},
        Decoding{"UnknownLabelInvalidUtf8IsWindows1252", "caf\xE9", "no-such-charset",
                 "caf\xC3\xA9"},
        Decoding{"NulIsReplacedAndOtherControlsBecomeBlanks",
                 std::string("a\0b\x01"
                             "c\td",
                             7),
                 "utf-8",
                 "a\xEF\xBF\xBD"
                 "b c\td"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PageCase {
  const char* name;
  std::string bytes;
  std::string charset, title, body;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class CharsetPageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(CharsetPageTest, ReadsTitleAndBody) {
  const PageCase& c = GetParam();
  ASSERT_FALSE(c.bytes.empty()) << "the test page could not be encoded";
  PageText page = ExtractHtml(c.bytes, "docs/page.htm");
  EXPECT_EQ(page.charset, c.charset);
  EXPECT_EQ(page.title, c.title);
  EXPECT_EQ(page.body, c.body);
}

INSTANTIATE_TEST_SUITE_P(
    Charset, CharsetPageTest,
    ::testing::Values(
        // Without a declaration the bytes decide.
        PageCase{"UndeclaredWindows1252", Encode(Page("", "Impression", kFrench), "WINDOWS-1252"),
                 "windows-1252", "Impression", std::string(kFrench)},
        PageCase{"UndeclaredUtf8", Page("", "Печать", kRussian), "utf-8", "Печать",
                 std::string(kRussian)},
        PageCase{"UndeclaredWindows1251", Encode(Page("", "Печать", kRussian), "WINDOWS-1251"),
                 "windows-1251", "Печать", std::string(kRussian)},
        PageCase{"UndeclaredKoi8R", Encode(Page("", "Печать", kRussian), "KOI8-R"), "koi8-r",
                 "Печать", std::string(kRussian)},
        PageCase{"UndeclaredShiftJis", Encode(Page("", "印刷", kJapanese), "SHIFT_JIS"),
                 "shift_jis", "印刷", std::string(kJapanese)},
        PageCase{"UndeclaredEucJp", Encode(Page("", "印刷", kJapanese), "EUC-JP"), "euc-jp", "印刷",
                 std::string(kJapanese)},
        // The detector looks near the first non-ASCII byte, however far into the page it is.
        PageCase{"NonAsciiPastLongAsciiHead",
                 Encode(Page("<!--" + std::string(200000, 'x') + "-->", "Печать", kRussian),
                        "WINDOWS-1251"),
                 "windows-1251", "Печать", std::string(kRussian)},
        // ASCII pages that declare a charset ASCII cannot be read in.
        PageCase{"AsciiPageDeclaringUtf16", Page("<meta charset=utf-16>", "Print Setup", "Margins"),
                 "utf-8", "Print Setup", "Margins"},
        PageCase{"AsciiPageDeclaringUcs2",
                 Page("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ucs-2\">",
                      "Print Setup", "Margins"),
                 "utf-8", "Print Setup", "Margins"},
        PageCase{"AsciiPageDeclaringUtf32",
                 "<?xml version=\"1.0\" encoding=\"utf-32\"?>" + Page("", "Print Setup", "Margins"),
                 "utf-8", "Print Setup", "Margins"},
        PageCase{"AsciiPageDeclaringIbm037",
                 Page("<meta charset=ibm037>", "Print Setup", "Margins"), "utf-8", "Print Setup",
                 "Margins"},
        // The same misdeclaration over text in another charset leaves it to the detector.
        PageCase{"Windows1251PageDeclaringUcs2",
                 Encode(Page("<meta charset=ucs-2>", "Печать", kRussian), "WINDOWS-1251"),
                 "windows-1251", "Печать", std::string(kRussian)},
        // Byte-order marks and correct declarations still come first.
        PageCase{"Utf16LeWithBom", "\xFF\xFE" + Encode(Page("", "Печать", kRussian), "UTF-16LE"),
                 "utf-16le", "Печать", std::string(kRussian)},
        PageCase{"Utf16BeWithBomAndLabel",
                 "\xFE\xFF" + Encode(Page("<meta charset=utf-16>", "印刷", kJapanese), "UTF-16BE"),
                 "utf-16be", "印刷", std::string(kJapanese)},
        PageCase{"Utf16LeWithoutBom", Encode(Page("", "Печать", kRussian), "UTF-16LE"), "utf-16le",
                 "Печать", std::string(kRussian)},
        PageCase{"Utf16BeWithoutBom", Encode(Page("", "印刷", kJapanese), "UTF-16BE"), "utf-16be",
                 "印刷", std::string(kJapanese)},
        PageCase{"Utf32LeWithBom",
                 std::string("\xFF\xFE\0\0", 4) + Encode(Page("", "Печать", kRussian), "UTF-32LE"),
                 "utf-32le", "Печать", std::string(kRussian)},
        PageCase{"Utf32BeWithoutBom", Encode(Page("", "印刷", kJapanese), "UTF-32BE"), "utf-32be",
                 "印刷", std::string(kJapanese)},
        PageCase{"StrayNulReadAsReplacementCharacter",
                 Page("", "Print Setup", std::string("Mar\0gins", 8)), "utf-8", "Print Setup",
                 "Mar\xEF\xBF\xBDgins"},
        PageCase{"DeclaredKoi8UBeatsDetector",
                 Encode(Page("<meta charset=koi8-u>", "Друк", kUkrainian), "KOI8-U"), "koi8-u",
                 "Друк", std::string(kUkrainian)}),
    [](const auto& info) { return std::string(info.param.name); });

// Only bytes that are no text in any encoding are left unread; a stray NUL, or the zero bytes
// of UTF-16 and UTF-32, are text.
TEST(LooksBinaryTest, RunsOfZerosOrManyControlsThatNoLayoutExplains) {
  std::string scattered;
  for (unsigned i = 0; i < 1024; ++i) scattered += static_cast<char>((i * 7919u) % 256u);
  const struct {
    const char* name;
    std::string bytes;
    bool binary;
  } cases[] = {
      {"program header",
       std::string("\x7F"
                   "ELF\2\1\1\0\0\0\0\0\0\0\0\0",
                   16),
       true},
      {"compressed bytes", scattered, true},
      {"page with a stray NUL", std::string("<p>one\0two</p>", 14), false},
      {"page of text", "<p>plain text, with\ttabs\r\nand line ends\f</p>", false},
      {"UTF-16 without a mark", Encode(Page("", "Печать", kRussian), "UTF-16LE"), false},
      {"UTF-32 with a mark",
       std::string("\0\0\xFE\xFF", 4) + Encode(Page("", "T", "x"), "UTF-32BE"), false},
      {"ISO-2022-JP", Encode(Page("", "印刷", kJapanese), "ISO-2022-JP"), false},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.empty()) << c.name;
    EXPECT_EQ(LooksBinary(c.bytes), c.binary) << c.name;
  }
}

}  // namespace
}  // namespace dizode
