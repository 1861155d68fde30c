// Guards the rule that no folder of the program or of its tools calls a locale-sensitive routine: every number
// text is made and read by the text layer, which uses to_chars and from_chars only.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Source text without comments, string and character literals.
std::string codeOnly(const std::string& src)
{
    std::string out;
    out.reserve(src.size());
    for (std::size_t i = 0; i < src.size(); ++i) {
        const char c = src[i];
        if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
            while (i < src.size() && src[i] != '\n')
                ++i;
            out.push_back('\n');
        } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
            i += 2;
            while (i + 1 < src.size() && !(src[i] == '*' && src[i + 1] == '/'))
                ++i;
            ++i;
            out.push_back(' ');
        } else if (c == '"' || c == '\'') {
            ++i;
            while (i < src.size() && src[i] != c) {
                if (src[i] == '\\')
                    ++i;
                ++i;
            }
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

TEST(LocaleFreeSources, NoFolderCallsALocaleSensitiveRoutine)
{
    // The repository root: from the environment, else from this file's path.
    const char* env = std::getenv("KOVA_SOURCE_DIR");
    const fs::path root = env ? fs::path(env) : fs::path(__FILE__).parent_path().parent_path().parent_path();
    ASSERT_TRUE(fs::exists(root / "text")) << root;
    const std::regex banned(
        R"(\b(v?(f|s|sn|as|d)?printf|f?scanf|sscanf|strto(d|f|ld|l|ul|ll|ull)|sto(d|f|ld|i|l|ul|ll|ull)|ato(f|i|l|ll)|setlocale|localeconv|strftime|put_time|get_time|to_string|to_wstring|(i|o)?stringstream|(i|o)?fstream|cout|cerr)\b|std\s*::\s*locale\b|#\s*include\s*<(iostream|sstream|iomanip|locale|clocale|format|ostream|istream|fstream)>)"
        // The toolkit's own locale-following number texts.
        R"(|\b(QLocale|QTextStream|QDoubleValidator|QDoubleSpinBox|qsnprintf|qvsnprintf)\b|\btoLocale\w*)");
    // Allowed as they make no number text: the include, the C locale, the user's short-date pattern (by design).
    const std::regex allowed(
        R"(#\s*include\s*<QLocale>|QLocale\s*::\s*c\s*\(\s*\)|QLocale\s*::\s*system\s*\(\s*\)\s*\.\s*dateFormat\s*\(\s*QLocale\s*::\s*ShortFormat\s*\))");
    // "%L1" in a literal asks QString::arg for the user's digit grouping.
    const std::regex localeArg(R"(%L\d)");
    // The detector itself: it sees calls, not comments or literals.
    EXPECT_TRUE(std::regex_search(codeOnly("double v = std::strtod(p, nullptr);"), banned));
    EXPECT_TRUE(std::regex_search(codeOnly("std::locale l;"), banned));
    EXPECT_TRUE(std::regex_search(std::string("#include <sstream>"), banned));
    EXPECT_FALSE(std::regex_search(codeOnly("// no printf here\nauto s = \"stod\";"), banned));
    EXPECT_FALSE(std::regex_search(codeOnly("void set(const TextLocale& locale);"), banned));
    EXPECT_TRUE(std::regex_search(codeOnly("std::fprintf(log, \"%04X\", v);"), banned));
    EXPECT_TRUE(std::regex_search(std::regex_replace("QLocale::system().toString(0.01);", allowed, " "), banned));
    EXPECT_FALSE(std::regex_search(
        std::regex_replace("QLocale::system().dateFormat(QLocale::ShortFormat); QLocale::c();", allowed, " "), banned));
    EXPECT_TRUE(std::regex_search(std::string("QString(\"%L1\").arg(v)"), localeArg));

    int files = 0;
    for (const char* folder : {"text", "link", "platform", "editors", "app", "pages", "reports", "tools", "bench"}) {
        const fs::path dir = root / folder;
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            ++files;
            std::ifstream in(entry.path());
            std::stringstream buf;
            buf << in.rdbuf();
            std::string raw = buf.str();
            // Keep include lines (their <...> are not literals) before stripping.
            const std::string code = codeOnly(raw);
            std::smatch m;
            std::string includes;
            std::istringstream lines(raw);
            for (std::string line; std::getline(lines, line);)
                if (line.find("#include") != std::string::npos)
                    includes += line + "\n";
            const std::string all = std::regex_replace(code + "\n" + includes, allowed, " ");
            EXPECT_FALSE(std::regex_search(all, m, banned))
                << entry.path() << " uses " << m.str();
            EXPECT_FALSE(std::regex_search(raw, m, localeArg)) << entry.path() << " uses " << m.str();
        }
    }
    EXPECT_GT(files, 0);
}

} // namespace
