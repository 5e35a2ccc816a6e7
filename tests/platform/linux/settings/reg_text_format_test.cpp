#include "platform/linux/settings/case_fold.h"
#include "platform/linux/settings/reg_key_lookup.h"
#include "platform/linux/settings/reg_text_format.h"

#include "platform/utf16le.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantrel::platform::linux_backend;

namespace {

using Bytes = std::vector<std::uint8_t>;

using vantrel::platform::fromUtf16le;
using vantrel::platform::toUtf16le;

// A file as the Windows registry editor writes it: UTF-16LE, BOM, CRLF.
std::string windowsExport(const std::u16string &text)
{
    std::u16string crlf;
    for (char16_t unit : text) {
        if (unit == u'\n')
            crlf += u'\r';
        crlf += unit;
    }
    const auto units = toUtf16le(crlf);
    return "\xFF\xFE" + std::string(units.begin(), units.end());
}

RegDocument parsed(std::string_view text)
{
    auto result = parseRegText(text);
    EXPECT_TRUE(result.document) << result.error.describe() << "\nin:\n" << text;
    return result.document ? std::move(*result.document) : RegDocument{};
}

const RegKey *key(const RegDocument &document, std::initializer_list<std::u16string> path)
{
    const RegKey *level = &document.top;
    for (const auto &name : path) {
        level = level->findSubkey(name);
        if (!level)
            return nullptr;
    }
    return level;
}

const RegKey *quintor(const RegDocument &document)
{
    return key(document, {u"HKEY_LOCAL_MACHINE", u"Software", u"Morvask", u"Quintor"});
}

// Type and bytes of a value, for comparing in one expectation.
std::pair<std::uint32_t, Bytes> valueOf(const RegKey *key, const std::u16string &name)
{
    if (!key)
        return {0xFFFFFFFF, {}};
    const RegValue *value = key->findValue(name);
    return value ? std::pair(value->type, value->data) : std::pair(0xFFFFFFFFu, Bytes{});
}

const char kEveryKind[] = R"(Windows Registry Editor Version 5.00

; bindings copied from the old machine
[HKEY_LOCAL_MACHINE\Software\Morvask\Quintor]
"F6"="/home/me/notes.txt"
@="default"
"quoted"="say \"hi\" in C:\\Temp"
"empty"=""
; the next one came from a tool that stored two strings in one
"embedded"=hex(1):61,00,00,00,62,00,00,00
"unterminated"=hex(1):61,00,62,00
"odd"=hex(1):61,00,62
"expand"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00
"multi"=hex(7):61,00,00,00,62,00,00,00,00,00
"dword"=dword:0000002a
"qword"=hex(b):01,02,03,04,05,06,07,08
"none"=hex(0):
"custom"=hex(1234abcd):ff
"binary"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19,1a,1b,1c,1d
)"
                          "\"\u65e5\u672c\"=\"caf\u00e9 \U0001F525\"\n"
                          R"(
[HKEY_LOCAL_MACHINE\Software\Morvask\Empty]

[HKEY_CURRENT_USER\Software\Other]
"x"=dword:ffffffff
; trailing remark
)";

TEST(RegTextFormat, ReadsEveryKindOfValue)
{
    const RegDocument document = parsed(kEveryKind);
    const RegKey *k = quintor(document);
    ASSERT_NE(k, nullptr);

    const auto sz = [](const std::u16string &s) { return std::pair(1u, toUtf16le(s + u'\0')); };
    EXPECT_EQ(valueOf(k, u"F6"), sz(u"/home/me/notes.txt"));
    EXPECT_EQ(valueOf(k, u""), sz(u"default"));
    EXPECT_EQ(valueOf(k, u"quoted"), sz(u"say \"hi\" in C:\\Temp"));
    EXPECT_EQ(valueOf(k, u"empty"), std::pair(1u, Bytes{0, 0}));
    EXPECT_EQ(valueOf(k, u"embedded"), std::pair(1u, toUtf16le(std::u16string(u"a\0b\0", 4))));
    EXPECT_EQ(valueOf(k, u"unterminated"), std::pair(1u, toUtf16le(u"ab")));
    EXPECT_EQ(valueOf(k, u"odd"), std::pair(1u, Bytes{'a', 0, 'b'}));
    EXPECT_EQ(valueOf(k, u"expand"), std::pair(2u, toUtf16le(std::u16string(u"%HOME%\0", 7))));
    EXPECT_EQ(valueOf(k, u"multi"), std::pair(7u, toUtf16le(std::u16string(u"a\0b\0\0", 5))));
    EXPECT_EQ(valueOf(k, u"dword"), std::pair(4u, Bytes{42, 0, 0, 0}));
    EXPECT_EQ(valueOf(k, u"qword"), std::pair(11u, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(valueOf(k, u"none"), std::pair(0u, Bytes{}));
    EXPECT_EQ(valueOf(k, u"custom"), std::pair(0x1234abcdu, Bytes{0xff}));
    Bytes counting(30);
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(valueOf(k, u"binary"), std::pair(3u, counting));
    EXPECT_EQ(valueOf(k, u"\u65e5\u672c"), sz(u"caf\u00e9 \U0001F525"));

    const RegKey *empty = key(document, {u"HKEY_LOCAL_MACHINE", u"Software", u"Morvask", u"Empty"});
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->values().empty());
    EXPECT_EQ(valueOf(key(document, {u"HKEY_CURRENT_USER", u"Software", u"Other"}), u"x"),
              std::pair(4u, Bytes{0xff, 0xff, 0xff, 0xff}));

    ASSERT_EQ(k->comments.size(), 1u);
    EXPECT_EQ(k->comments[0], u"; bindings copied from the old machine");
    ASSERT_EQ(k->findValue(u"embedded")->comments.size(), 1u);
    EXPECT_EQ(document.trailingComments, std::vector<std::u16string>{u"; trailing remark"});
}

TEST(RegTextFormat, ARewriteKeepsEveryKeyValueAndComment)
{
    const RegDocument document = parsed(kEveryKind);
    const std::string written = serializeRegText(document);
    EXPECT_TRUE(parsed(written) == document) << written;
    EXPECT_EQ(serializeRegText(parsed(written)), written);
    EXPECT_NE(written.find("[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Empty]\n"), std::string::npos);
    EXPECT_NE(written.find("; the next one came from a tool that stored two strings in one\n\"embedded\"="),
              std::string::npos);
}

TEST(RegTextFormat, ReadsEveryRootAnExportCanHold)
{
    const std::string text = "REGEDIT4\n\n"
                             "[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n\"LogPixels\"=dword:00000060\n\n"
                             "[HKEY_DYN_DATA\\Config Manager]\n\n"
                             "[HKEY_USERS\\.DEFAULT]\n\n"
                             "[HKEY_CLASSES_ROOT\\.txt]\n@=\"txtfile\"\n";
    const RegDocument document = parsed(text);
    for (const char16_t *root : {u"HKEY_CURRENT_CONFIG", u"HKEY_DYN_DATA", u"HKEY_USERS", u"HKEY_CLASSES_ROOT"})
        EXPECT_NE(document.top.findSubkey(root), nullptr);
}

TEST(RegTextFormat, PlainStringsAreQuotedAndTheRestWrittenAsBytes)
{
    RegDocument document;
    RegKey &k = document.top.subkey(u"HKEY_LOCAL_MACHINE").subkey(u"K");
    k.setValue(u"plain", 1, toUtf16le(u"a \"b\" \\c \u00e9\U0001F525" + std::u16string(1, u'\0')));
    k.setValue(u"with \"quote\"", 1, toUtf16le(std::u16string(u"x\0", 2)));
    k.setValue(u"", 1, toUtf16le(std::u16string(u"d\0", 2)));
    k.setValue(u"@", 1, toUtf16le(std::u16string(u"at\0", 3)));
    k.setValue(u"newline", 1, toUtf16le(std::u16string(u"a\nb\0", 4)));
    k.setValue(u"tab", 1, toUtf16le(std::u16string(u"a\tb\0", 4)));
    k.setValue(u"embedded", 1, toUtf16le(std::u16string(u"a\0b\0", 4)));
    k.setValue(u"unterminated", 1, toUtf16le(u"ab"));
    k.setValue(u"lone", 1, toUtf16le(std::u16string{0xD800, u'x', 0}));
    k.setValue(u"expand", 2, toUtf16le(std::u16string(u"%X%\0", 4)));
    k.setValue(u"dword", 4, {1, 2, 3, 4});
    k.setValue(u"short dword", 4, {1, 2});

    const std::string written = serializeRegText(document);
    for (const char *line : {
             "\"plain\"=\"a \\\"b\\\" \\\\c \xC3\xA9\xF0\x9F\x94\xA5\"\n",
             "\"with \\\"quote\\\"\"=\"x\"\n",
             "@=\"d\"\n",
             "\"@\"=\"at\"\n",
             "\"newline\"=hex(1):61,00,0a,00,62,00,00,00\n",
             "\"tab\"=hex(1):61,00,09,00,62,00,00,00\n",
             "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\n",
             "\"unterminated\"=hex(1):61,00,62,00\n",
             "\"lone\"=hex(1):00,d8,78,00,00,00\n",
             "\"expand\"=hex(2):25,00,58,00,25,00,00,00\n",
             "\"dword\"=dword:04030201\n",
             "\"short dword\"=hex(4):01,02\n",
         })
        EXPECT_NE(written.find(line), std::string::npos) << line << "\nnot in\n" << written;
    EXPECT_TRUE(parsed(written) == document);
}

TEST(RegTextFormat, LongByteListsWrapAndReadBack)
{
    RegDocument document;
    Bytes data(5000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    document.top.subkey(u"HKEY_USERS").subkey(u"K").setValue(std::u16string(300, u'n'), 3, data);
    const std::string written = serializeRegText(document);
    std::size_t longest = 0;
    for (std::size_t start = 0, end; start < written.size(); start = end + 1) {
        end = written.find('\n', start);
        if (start > 400) // past the line that starts with the long name
            longest = std::max(longest, end - start);
    }
    EXPECT_LE(longest, 80u);
    EXPECT_TRUE(parsed(written) == document);
}

TEST(RegTextFormat, KeysMatchWithoutRegardToCaseInAnyScriptAndKeepTheFirstSpelling)
{
    const RegDocument document = parsed("Windows Registry Editor Version 5.00\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\\xC3\x9C"
                                        "bung\\\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1]\n"
                                        "\"A\"=\"1\"\n"
                                        "[hkey_local_machine\\SOFTWARE\\\xC3\xBC"
                                        "BUNG\\\xCF\x83\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91]\n"
                                        "\"a\"=\"2\"\n"
                                        "\"B\"=\"3\"\n");
    const RegKey *root = document.top.findSubkey(u"HKEY_LOCAL_MACHINE");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->subkeys().size(), 1u);
    const RegKey *software = root->subkeys()[0].get();
    EXPECT_EQ(software->name(), u"Software");
    const RegKey *greek =
        key(document, {u"HKEY_LOCAL_MACHINE", u"software", u"\u00dcBUNG", u"\u03c3\u03bf\u03c6\u03af\u03b1"});
    ASSERT_NE(greek, nullptr);
    EXPECT_EQ(greek->name(), u"\u03a3\u03bf\u03c6\u03af\u03b1");
    ASSERT_EQ(greek->values().size(), 2u);
    EXPECT_EQ(greek->values()[0].name, u"A"); // the later line replaced the data, not the name
    EXPECT_EQ(valueOf(greek, u"a"), std::pair(1u, toUtf16le(std::u16string(u"2\0", 2))));
}

// What a read finds without building the registry, against what the
// registry built from the same text holds.
TEST(RegKeyLookup, FindsWhatTheWholeRegistryHolds)
{
    const std::string text = "Windows Registry Editor Version 5.00\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
                             "\"F6\"=\"first\"\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor\\Sub]\n"
                             "\"F7\"=\"in the subkey\"\n"
                             "[HKEY_CURRENT_USER\\Software\\Morvask\\Quintor]\n"
                             "\"F7\"=\"other root\"\n"
                             "[hkey_local_machine\\SOFTWARE\\morvask\\QUINTOR]\n"
                             "\"f6\"=\"second\"\n";
    const RegDocument document = parsed(text);
    const auto find = [&](std::vector<std::u16string> levels, std::optional<std::u16string> value) {
        auto lookup = std::make_unique<RegKeyLookup>(u"HKEY_LOCAL_MACHINE", levels, value);
        EXPECT_FALSE(parseRegText(text, *lookup));
        return lookup;
    };
    EXPECT_TRUE(find({u"software"}, std::nullopt)->keyFound()); // only a level of longer sections
    EXPECT_TRUE(find({}, std::nullopt)->keyFound());
    EXPECT_FALSE(find({u"Software", u"Quintor"}, std::nullopt)->keyFound());

    const auto f6 = find({u"Software", u"Morvask", u"Quintor"}, u"F6");
    EXPECT_TRUE(f6->keyFound());
    ASSERT_TRUE(f6->value());
    EXPECT_EQ(f6->value()->data, quintor(document)->findValue(u"F6")->data); // the later line's
    EXPECT_EQ(f6->value()->data, toUtf16le(std::u16string(u"second\0", 7)));
    EXPECT_FALSE(find({u"Software", u"Morvask", u"Quintor"}, u"F7")->value()); // in other keys only
    EXPECT_TRUE(find({u"Software", u"Morvask", u"Quintor", u"SUB"}, u"f7")->value());

    RegKeyLookup broken(u"HKEY_LOCAL_MACHINE", {u"Software"});
    EXPECT_TRUE(parseRegText(text + "oops\n", broken));
}

TEST(CaseFold, UpperCasesLettersOfTheBasicPlaneOneForOne)
{
    EXPECT_EQ(foldCase(u'a'), u'A');
    EXPECT_EQ(foldCase(u'\u00e4'), u'\u00c4');
    EXPECT_EQ(foldCase(u'\u0101'), u'\u0100'); // runs of alternating case pairs
    EXPECT_EQ(foldCase(u'\u0100'), u'\u0100');
    EXPECT_EQ(foldCase(u'\u03c3'), u'\u03a3'); // small sigma
    EXPECT_EQ(foldCase(u'\u03c2'), u'\u03a3'); // final sigma
    EXPECT_EQ(foldCase(u'\u0436'), u'\u0416'); // Cyrillic
    EXPECT_EQ(foldCase(u'\uff41'), u'\uff21'); // fullwidth a
    // What Windows does not upper-case into another letter stays apart.
    EXPECT_EQ(foldCase(u'\u212a'), u'\u212a');               // Kelvin sign
    EXPECT_EQ(foldCase(u'\u2126'), u'\u2126');               // Ohm sign
    EXPECT_EQ(foldCase(u'\u00df'), u'\u00df');               // sharp s, upper-cased to two letters
    EXPECT_EQ(foldCase(u'\u1e9e'), u'\u1e9e');               // capital sharp s
    EXPECT_EQ(foldCase(char16_t(0xD801)), char16_t(0xD801)); // surrogates stay
    EXPECT_EQ(foldCase(u'1'), u'1');
    EXPECT_EQ(foldCase(u'\u65e5'), u'\u65e5');
}

TEST(RegTextFormat, ReadsAWindowsExportInUtf16WithBomAndCrlf)
{
    const std::string bytes = windowsExport(u"Windows Registry Editor Version 5.00\n"
                                            u"\n"
                                            u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Morvask\\Quintor]\n"
                                            u"\"F6\"=\"C:\\\\Programme\\\\\u00dcbung\\\\\u65e5\u672c.exe\"\n"
                                            u"\"F7\"=\"\"\n"
                                            u"\"Path\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\n"
                                            u"\"Count\"=dword:00000007\n"
                                            u"\n");
    const RegDocument document = parsed(bytes);
    const RegKey *k = quintor(document);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->values().size(), 4u);
    EXPECT_EQ(valueOf(k, u"F6"),
              std::pair(1u, toUtf16le(u"C:\\Programme\\\u00dcbung\\\u65e5\u672c.exe" + std::u16string(1, 0))));
    EXPECT_EQ(valueOf(k, u"F7"), std::pair(1u, Bytes{0, 0}));
    EXPECT_EQ(valueOf(k, u"path"), std::pair(2u, toUtf16le(std::u16string(u"%PATH%\0", 7))));
    EXPECT_EQ(valueOf(k, u"Count"), std::pair(4u, Bytes{7, 0, 0, 0}));

    // Rewritten as it came, so that the registry editor reads it back: the
    // same registry in UTF-16LE with its byte-order mark and CRLF line ends.
    const std::string written = serializeRegText(document);
    ASSERT_TRUE(written.starts_with("\xFF\xFE"));
    const std::u16string text = fromUtf16le(std::string_view(written).substr(2));
    EXPECT_TRUE(text.starts_with(u"Windows Registry Editor Version 5.00\r\n")) << written;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            EXPECT_EQ(text.at(i - 1), u'\r') << "a bare line feed at " << i;
    }
    EXPECT_TRUE(parsed(written) == document);
}

TEST(RegTextFormat, ReadsRegedit4WithAnsiTextAsWindows1252)
{
    const RegDocument document = parsed("REGEDIT4\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\r\n"
                                        "\"F6\"=\"C:\\\\Caf\xE9 \x80.exe\"\r\n"
                                        "\"Temp\"=hex(2):25,54,45,4d,50,25,00\r\n"
                                        "\"Multi\"=hex(7):61,00,9c,00,00\r\n"
                                        "\"Raw\"=hex:e9,80\r\n"
                                        "\"N\"=dword:00000010\r\n");
    const RegKey *k = quintor(document);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(valueOf(k, u"F6"), std::pair(1u, toUtf16le(std::u16string(u"C:\\Caf\u00e9 \u20ac.exe\0", 14))));
    EXPECT_EQ(valueOf(k, u"Temp"), std::pair(2u, toUtf16le(std::u16string(u"%TEMP%\0", 7))));
    EXPECT_EQ(valueOf(k, u"Multi"), std::pair(7u, toUtf16le(std::u16string(u"a\0\u0153\0\0", 5))));
    EXPECT_EQ(valueOf(k, u"Raw"), std::pair(3u, Bytes{0xe9, 0x80})); // binary stays binary
    EXPECT_EQ(valueOf(k, u"N"), std::pair(4u, Bytes{16, 0, 0, 0}));
}

TEST(RegTextFormat, ARegedit4FileStaysAnsiUnlessItMustHoldWhatTheAnsiPageCannot)
{
    const std::string ansi = "REGEDIT4\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\r\n"
                             "\"F6\"=\"C:\\\\prog-\xFC\\\\a.exe\"\r\n"
                             "\"Multi\"=hex(7):61,fc,00,80,00,00\r\n";
    RegDocument document = parsed(ansi);
    RegKey &k = document.top.subkey(u"HKEY_LOCAL_MACHINE").subkey(u"Software").subkey(u"Morvask").subkey(u"Quintor");
    k.setValue(u"F7", 1, toUtf16le(std::u16string(u"caf\u00e9 \u20ac\0", 7)));
    const std::string written = serializeRegText(document);
    EXPECT_TRUE(written.starts_with("REGEDIT4\r\n")) << written;
    EXPECT_NE(written.find("\r\n\"F6\"=\"C:\\\\prog-\xFC\\\\a.exe\"\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\r\n\"Multi\"=hex(7):61,fc,00,80,00,00\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\r\n\"F7\"=\"caf\xE9 \x80\"\r\n"), std::string::npos) << written;
    EXPECT_TRUE(parsed(written) == document);

    // A text beyond Windows-1252 would be lost in ANSI: the file becomes
    // what the registry editor itself writes today.
    k.setValue(u"F8", 1, toUtf16le(std::u16string(u"\u0436\0", 2)));
    const std::string wide = serializeRegText(document);
    ASSERT_TRUE(wide.starts_with("\xFF\xFE")) << wide;
    const RegDocument reread = parsed(wide);
    EXPECT_TRUE(reread.top == document.top);
    EXPECT_EQ(reread.style, (RegTextStyle{RegTextEncoding::Utf16le, true}));

    // A file Vantrel starts is UTF-8 with LF line ends.
    EXPECT_EQ(serializeRegText(RegDocument{}), "Windows Registry Editor Version 5.00\n");
}

TEST(RegTextFormat, AValueWhoseDataIsNoUtf8IsRefusedAloneAndKeptAsItIs)
{
    const std::string file = "Windows Registry Editor Version 5.00\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
                             "\"F6\"=\"/home/me/a\"\n"
                             "; written by an old script in Latin-1\n"
                             "\"F7\"=\"/home/me/prog-\xFC\"\n"
                             "\"F9\"=\"/home/me/b\"\n";
    RegDocument document = parsed(file);
    const RegKey *k = quintor(document);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(valueOf(k, u"F6"), std::pair(1u, toUtf16le(std::u16string(u"/home/me/a\0", 11))));
    EXPECT_EQ(valueOf(k, u"F9"), std::pair(1u, toUtf16le(std::u16string(u"/home/me/b\0", 11))));
    ASSERT_NE(k->findValue(u"F7"), nullptr);
    EXPECT_EQ(k->findValue(u"F7")->unreadableLines, std::vector<std::string>{"\"F7\"=\"/home/me/prog-\xFC\""});

    // A lookup names the line the refused value begins on.
    RegKeyLookup lookup(u"HKEY_LOCAL_MACHINE", {u"Software", u"Morvask", u"Quintor"}, u"f7");
    EXPECT_FALSE(parseRegText(file, lookup));
    ASSERT_TRUE(lookup.value());
    EXPECT_EQ(lookup.unreadableLine(), 5u);

    // Rewritten, the refused lines stay byte for byte, comment and all.
    EXPECT_EQ(serializeRegText(document), "Windows Registry Editor Version 5.00\n"
                                          "\n"
                                          "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
                                          "\"F6\"=\"/home/me/a\"\n"
                                          "; written by an old script in Latin-1\n"
                                          "\"F7\"=\"/home/me/prog-\xFC\"\n"
                                          "\"F9\"=\"/home/me/b\"\n");
    // Until a value of that name is stored in its place.
    document.top.subkey(u"HKEY_LOCAL_MACHINE")
        .subkey(u"Software")
        .subkey(u"Morvask")
        .subkey(u"Quintor")
        .setValue(u"F7", 1, toUtf16le(std::u16string(u"x\0", 2)));
    EXPECT_NE(serializeRegText(document).find("; written by an old script in Latin-1\n\"F7\"=\"x\"\n"),
              std::string::npos);
}

TEST(RegTextFormat, ReadsUtf8WithOrWithoutBomAndEmptyInputAsAnEmptyRegistry)
{
    const std::string body = "Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\K]\r\n\"a\"=\"\xC3\xA9\"\r\n";
    EXPECT_TRUE(parsed("\xEF\xBB\xBF" + body).top == parsed(body).top);
    EXPECT_EQ(valueOf(key(parsed(body), {u"HKEY_USERS", u"K"}), u"a"), std::pair(1u, Bytes{0xe9, 0, 0, 0}));
    EXPECT_TRUE(parsed("").top.subkeys().empty());
    EXPECT_TRUE(parsed("\xEF\xBB\xBF").top.subkeys().empty());
    EXPECT_TRUE(parsed("\xFF\xFE").top.subkeys().empty());
}

struct BadInput {
    std::string text;
    std::size_t line;
    const char *says;
};

TEST(RegTextFormat, RefusesMalformedInputNamingTheLine)
{
    const std::string v5 = "Windows Registry Editor Version 5.00\n";
    const std::string key = "[HKEY_LOCAL_MACHINE\\K]\n";
    const BadInput cases[] = {
        {"Windows Registry Editor Version 4.00\n", 1, "first line"},
        {"\n" + v5, 1, "first line"},
        {v5 + "\"a\"=\"b\"\n", 2, "before the first [key]"},
        {v5 + "[HKEY_LOCAL_MACHINE\\K\n", 2, "closing ]"},
        {v5 + "[HKEY_NOWHERE\\K]\n", 2, "unknown root key \"HKEY_NOWHERE\""},
        {v5 + "[-HKEY_LOCAL_MACHINE\\K]\n", 2, "deletions"},
        {v5 + "[HKEY_LOCAL_MACHINE\\a\\\\b]\n", 2, "empty key name"},
        {v5 + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'k') + "]\n", 2, "too long"},
        {v5 + "[HKEY_LOCAL_MACHINE\\K\rX]\n", 2, "line break"},
        {v5 + key + "\"a\"=-\n", 3, "deletions"},
        {v5 + key + "\"a\"=\"C:\\Temp\"\n", 3, "backslash"},
        {v5 + key + "\"a\"=\"open\n", 3, "closing quote"},
        {v5 + key + "\"a\"=\"x\" y\n", 3, "after the closing quote"},
        {v5 + key + "\"a\" \"x\"\n", 3, "no ="},
        {v5 + key + "\"a\"=dword:123456789\n", 3, "dword"},
        {v5 + key + "\"a\"=dword:\n", 3, "dword"},
        {v5 + key + "\"a\"=hex:01,zz,03\n", 3, "bad hex byte \"zz\""},
        {v5 + key + "\"a\"=hex:01,,03\n", 3, "bad hex byte"},
        {v5 + key + "\"a\"=hex:123\n", 3, "bad hex byte"},
        {v5 + key + "\"a\"=hex(:01\n", 3, "type number"},
        {v5 + key + "\"a\"=hex(123456789):01\n", 3, "type number"},
        {v5 + key + "\"a\"=hex:01,\\\n  02,\\", 3, "past the end"},
        {v5 + key + "\"a\"=hex:01,\\\n  02,\\\n  zz\n", 3, "bad hex byte"},
        {v5 + key + "\"a\"=str:x\n", 3, "unknown kind"},
        {v5 + key + "whatever\n", 3, "not a [key]"},
        // Bytes that are no UTF-8 anywhere but in a value's data.
        {v5 + "[HKEY_LOCAL_MACHINE\\K\xC3\x28]\n", 2, "invalid UTF-8"},
        {v5 + key + "; \xED\xA0\x80\n", 3, "invalid UTF-8"},     // an encoded surrogate
        {v5 + key + "\"\xC0\xAF\"=\"x\"\n", 3, "invalid UTF-8"}, // overlong
        {v5 + key + "\"a\"=hex:01,\\\n  \xFF\n", 4, "invalid UTF-8"},
        {v5 + key + "\"a\"=\"\xFF\",\\", 3, "continued past the end"},
        {"Windows Registry Editor Version 5.00\xFF\n", 1, "invalid UTF-8"},
        {v5 + "[HKEY_LOCAL_MACHINE\\K" + std::string(1, '\0') + "X]\n", 2, "NUL"},
        {windowsExport(u"Windows Registry Editor Version 5.00\n[HKEY_USERS\\K]\n\"a\"=\"b\"") + "\x41", 3,
         "middle of a character"},
        {windowsExport(u"Windows Registry Editor Version 5.00\n[HKEY_USERS\\K]\n\"a\"=\"\xDC00\"\n"), 3, "surrogate"},
        {"\xFE\xFF", 1, "big-endian"},
    };
    for (const auto &bad : cases) {
        const auto result = parseRegText(bad.text);
        EXPECT_FALSE(result.document) << bad.text;
        EXPECT_EQ(result.error.line, bad.line) << bad.text;
        EXPECT_NE(result.error.message.find(bad.says), std::string::npos)
            << "\"" << result.error.message << "\" does not say " << bad.says;
    }
    EXPECT_EQ(RegTextError({7, "bad hex byte"}).describe(), "line 7: bad hex byte");
}

TEST(RegTextFormat, RefusesTooLargeOrTooDeepInputQuickly)
{
    auto result = parseRegText(std::string(kMaxRegTextBytes + 1, ' '));
    EXPECT_FALSE(result.document);
    EXPECT_EQ(result.error.describe(), "the file is larger than 16 MiB");

    std::string deep = "Windows Registry Editor Version 5.00\n[HKEY_USERS";
    for (std::size_t i = 0; i <= kMaxKeyDepth; ++i)
        deep += "\\k";
    result = parseRegText(deep + "]\n");
    EXPECT_FALSE(result.document);
    EXPECT_NE(result.error.message.find("deeper than 512"), std::string::npos);
}

// Large inputs within the limit take time in proportion to their size; a
// quadratic step would run far past the test's time-out here.
TEST(RegTextFormat, LargeInputsParseInOnePass)
{
    std::string manyValues = "Windows Registry Editor Version 5.00\n[HKEY_USERS\\K]\n";
    for (int i = 0; i < 200000; ++i)
        manyValues += "\"v" + std::to_string(i) + "\"=dword:1\n";
    EXPECT_EQ(parsed(manyValues).top.findSubkey(u"HKEY_USERS")->findSubkey(u"k")->values().size(), 200000u);

    std::string manyKeys = "Windows Registry Editor Version 5.00\n";
    for (int i = 0; i < 100000; ++i)
        manyKeys += "[HKEY_USERS\\K\\" + std::to_string(i) + "]\n";
    EXPECT_EQ(parsed(manyKeys).top.findSubkey(u"HKEY_USERS")->findSubkey(u"k")->subkeys().size(), 100000u);

    std::string longList = "Windows Registry Editor Version 5.00\n[HKEY_USERS\\K]\n\"b\"=hex:00";
    for (int i = 0; i < 1000000; ++i)
        longList += i % 25 == 0 ? ",\\\n  ab" : ",ab";
    EXPECT_EQ(parsed(longList + "\n").top.findSubkey(u"HKEY_USERS")->findSubkey(u"k")->findValue(u"b")->data.size(),
              1000001u);
}

} // namespace
