// Writes a synthetic C source tree and a keyword file for timing a scan:
//   make_source_tree OUT_DIR [MEGABYTES=160] [FILES=10000] [KEYWORDS=5000]
// Identifiers follow a Zipf distribution over a large vocabulary, as names in
// real code do; 80% of the keywords are used somewhere, the rest are not.
// OUT_DIR/texts.h is the keyword file, OUT_DIR/src the tree, and
// OUT_DIR/symbols.txt the symbols, one per line.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string MakeName(std::mt19937& random) {
    static const char* const kParts[] = {"get",  "set",   "buf",  "len",  "idx",   "item", "node",
                                         "list", "count", "size", "name", "value", "data", "ptr",
                                         "str",  "map",   "key",  "flag", "mode",  "state"};
    std::string name = kParts[random() % std::size(kParts)];
    for (int k = static_cast<int>(random() % 3); k >= 0; --k) {
        std::string part = kParts[random() % std::size(kParts)];
        part[0] = static_cast<char>(part[0] - 'a' + 'A');
        name += part;
    }
    return name + std::to_string(random() % 100);
}

// Ranks 0..n-1 drawn with probability proportional to 1 / (rank + 1).
class CZipf {
public:
    explicit CZipf(std::size_t n) {
        m_cumulative.reserve(n);
        double sum = 0;
        for (std::size_t k = 0; k < n; ++k)
            m_cumulative.push_back(sum += 1.0 / static_cast<double>(k + 1));
    }
    std::size_t operator()(std::mt19937& random) const {
        const double x = std::uniform_real_distribution<double>(0, m_cumulative.back())(random);
        return static_cast<std::size_t>(
            std::lower_bound(m_cumulative.begin(), m_cumulative.end(), x) - m_cumulative.begin());
    }

private:
    std::vector<double> m_cumulative;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [MEGABYTES] [FILES] [KEYWORDS]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::size_t megabytes = argc > 2 ? std::stoul(argv[2]) : 160;
    const std::size_t files = argc > 3 ? std::stoul(argv[3]) : 10000;
    const std::size_t keywords = argc > 4 ? std::stoul(argv[4]) : 5000;
    std::mt19937 random(2026);

    constexpr int kVocabulary = 50000;
    std::vector<std::string> vocabulary;
    vocabulary.reserve(kVocabulary);
    for (int k = 0; k < kVocabulary; ++k)
        vocabulary.push_back(MakeName(random));
    const CZipf pickWord(vocabulary.size());

    std::filesystem::create_directories(out / "src");
    std::ofstream header(out / "texts.h", std::ios::binary);
    std::ofstream symbols(out / "symbols.txt", std::ios::binary);
    std::vector<std::string> used;
    header << "#ifndef TEXTS_H\n#define TEXTS_H\n\n";
    for (std::size_t k = 0; k < keywords; ++k) {
        const std::string name = "Text" + std::to_string(k) + "_" + MakeName(random);
        header << "#define s" << name << " \"Text number " << k << "\"\n";
        symbols << 'g' << name << '\n';
        if (k % 5 != 4)
            used.push_back('g' + name);
    }
    header << "\n#endif\n";
    const CZipf pickUsed(used.size());

    static const char* const kSyntax[] = {" = ", "(", ")", ", ", "->", ".", "[", "]", " + ", ";"};
    const std::size_t bytesPerFile = megabytes * 1000000 / files;
    for (std::size_t f = 0; f < files; ++f) {
        const auto folder =
            out / "src" / ("module" + std::to_string(f % 97)) / ("part" + std::to_string(f % 13));
        std::filesystem::create_directories(folder);
        std::string text = "#include \"texts.h\"\n\n";
        // Every used keyword turns up at least once somewhere.
        for (std::size_t k = f; k < used.size(); k += files)
            text += "    show(" + used[k] + ");\n";
        while (text.size() < bytesPerFile) {
            text += "    ";
            for (int t = 0; t < 8; ++t) {
                if (random() % 50 == 0) {
                    text += used[pickUsed(random)];
                } else {
                    text += vocabulary[pickWord(random)];
                }
                text += kSyntax[random() % std::size(kSyntax)];
            }
            text += random() % 10 == 0 ? "  /* see gTemp */\n" : "\n";
        }
        std::ofstream(folder / ("file" + std::to_string(f) + ".c"), std::ios::binary) << text;
    }
    std::printf("%s: %zu files, %zu keywords\n", out.c_str(), files, keywords);
    return 0;
}
