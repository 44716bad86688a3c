// A fuzz target built as a plain test: every file of its corpus folder is fed to it once, so
// that an input that once crashed it, broke one of its checks, or took more than a minute or
// 3 GB (the fuzz runs' limits, with room for a debug build) fails the suite again. Its scratch
// files go to a temporary folder that is removed at the end.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    std::error_code error;
    std::vector<fs::path> inputs;
    for (const auto &entry : fs::directory_iterator(argv[1], error))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    if (error || inputs.empty()) {
        std::fprintf(stderr, "%s: no corpus files in %s\n", argv[0], argv[1]);
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());

    std::string scratch = (fs::temp_directory_path() / "pelmora-replay-XXXXXX").string();
    if (!mkdtemp(scratch.data()))
        return 1;
    setenv("TMPDIR", scratch.c_str(), 1);
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path &input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s\n", input.filename().c_str());
        static const char none = 0;
        alarm(60); // the default action ends the process
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.empty() ? &none : bytes.data()), bytes.size());
        alarm(0);
        rusage usage{};
        if (getrusage(RUSAGE_SELF, &usage) == 0 && usage.ru_maxrss > 3L * 1024 * 1024) {
            std::fprintf(stderr, "%s took more than 3 GB\n", input.filename().c_str());
            return 1;
        }
    }
    fs::remove_all(scratch, error);
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
