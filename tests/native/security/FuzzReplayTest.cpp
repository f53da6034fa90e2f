// Replays the fuzz corpus through the fuzz target bodies, then a bounded
// number of deterministic mutations of it, so that every test run (and every
// sanitizer run) exercises the readers on broken input without libFuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>

#include "fuzz/FuzzTargets.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

fs::path CorpusRoot() {
    // This file lies in tests/native/security; the corpus in tests/fuzz/corpus.
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "fuzz" / "corpus";
}

std::vector<Bytes> LoadCorpus(const char* folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CorpusRoot() / folder, error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Bytes> corpus;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return corpus;
}

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Small edits in the manner of a fuzzer, from a fixed seed: the same inputs on
// every run and every platform (mt19937's sequence is fixed by the standard).
class Mutator {
  public:
    explicit Mutator(std::vector<Bytes> tokens) : tokens_(std::move(tokens)) {}

    Bytes Mutate(Bytes input) {
        int steps = 1 + static_cast<int>(Next(4));
        for (int i = 0; i < steps; ++i)
            MutateOnce(input);
        return input;
    }

  private:
    uint32_t Next(size_t bound) { return bound ? static_cast<uint32_t>(rng_() % bound) : 0; }

    void MutateOnce(Bytes& b) {
        static constexpr uint8_t kInteresting[] = {0, 1, 2, 4, 5, 8, 0x10, 0x14, 0x7F, 0x80, 0xFF};
        size_t at = Next(b.size() + 1);
        switch (Next(7)) {
            case 0:
                if (at < b.size())
                    b[at] ^= static_cast<uint8_t>(1u << Next(8));
                break;
            case 1:
                if (at < b.size())
                    b[at] = kInteresting[Next(std::size(kInteresting))];
                break;
            case 2:
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(at),
                         static_cast<uint8_t>(Next(256)));
                break;
            case 3:
                if (at < b.size())
                    b.erase(b.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            case 4:
                b.resize(at);
                break;
            case 5:  // a 16-bit size or offset field set to an edge value
                if (at + 1 < b.size())
                    WriteLe16(b, at, static_cast<uint16_t>(0xFFFF >> Next(16)));
                break;
            default: {
                const Bytes& token = tokens_[Next(tokens_.size())];
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), token.begin(), token.end());
            }
        }
    }

    std::mt19937 rng_{20261208};
    std::vector<Bytes> tokens_;
};

constexpr int kMutationsPerSeed = 1500;

void Replay(const char* folder, std::string (*check)(std::span<const uint8_t>),
            std::vector<Bytes> tokens) {
    auto corpus = LoadCorpus(folder);
    ASSERT_GE(corpus.size(), 5u) << "corpus missing at " << (CorpusRoot() / folder).string();
    for (const auto& seed : corpus)
        EXPECT_EQ(check(seed), "") << "seed of " << seed.size() << " bytes";
    Mutator mutator(std::move(tokens));
    int failures = 0;
    for (const auto& seed : corpus) {
        for (int i = 0; i < kMutationsPerSeed && failures < 5; ++i) {
            Bytes input = mutator.Mutate(seed);
            std::string problem = check(input);
            if (!problem.empty()) {
                ++failures;
                ADD_FAILURE() << problem << " for input "
                              << ::testing::PrintToString(std::string(input.begin(), input.end()));
            }
        }
    }
}

TEST(FuzzReplay, DescriptorReader) {
    Replay("descriptor", fuzz::CheckDescriptorBytes,
           {sids::Everyone().ToBytes(), Bytes{0, 0, 0, 0}, Bytes{0x14, 0, 0, 0}, Bytes{2, 0, 8, 0},
            Bytes{5, 0, 0x2C, 0}, Bytes{0xFF, 0xFF, 0xFF, 0xFF}});
}

TEST(FuzzReplay, SddlReader) {
    std::vector<Bytes> tokens;
    for (const char* token : {"O:",
                              "G:",
                              "D:",
                              "S:",
                              "P",
                              "AI",
                              "AR",
                              "NO_ACCESS_CONTROL",
                              "(",
                              ")",
                              ";",
                              "A",
                              "D",
                              "AU",
                              "OA",
                              "OD",
                              "OI",
                              "CI",
                              "IO",
                              "ID",
                              "NP",
                              "FA",
                              "GR",
                              "RC",
                              "WD",
                              "SY",
                              "BA",
                              "CO",
                              "S-1-5-",
                              "S-1-0x",
                              "-4294967295",
                              "0x",
                              "bf967aba-0de6-11d0-a285-00aa003049e2"})
        tokens.push_back(AsBytes(token));
    Replay("sddl", fuzz::CheckSddlText, tokens);
}

// Inputs that once broke a reader, kept as they are.
TEST(FuzzReplay, KnownHardInputs) {
    for (std::string_view text : {
             "O:S-1-0x1000000000000",  // authority beyond 48 bits
             "O:S-1-0xFFFFFFFFFFFFD:",
             "D:(OA;;;;;BA)",  // empty rights
             "D:PNO_ACCESS_CONTROLAI",
             "O:S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15",
         })
        EXPECT_EQ(fuzz::CheckSddlText(AsBytes(text)), "") << text;
}

}  // namespace
}  // namespace vm
