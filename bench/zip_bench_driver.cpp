// Writes one archive of a folder with TZipWriter, for the archive benchmark:
//   zip_bench_driver LEVEL THREADS ARCHIVE FOLDER
// The folder's content is stored relative to the folder's parent, as
// "zip -r ARCHIVE NAME" run in that parent would store it.

#include "archive/zip_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s LEVEL THREADS ARCHIVE FOLDER\n", argv[0]);
        return 2;
    }
    std::string folder = argv[4];
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const auto slash = folder.find_last_of('/');
    const std::string parent = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
    try {
        const auto start = std::chrono::steady_clock::now();
        TZipWriter writer;
        writer.SetCompressionMode(std::atoi(argv[1]));
        writer.SetThreads(static_cast<unsigned>(std::atoi(argv[2])));
        writer.SetZip64Mode(TZip64Mode::zmAuto);
        writer.SetFileName(argv[3]);
        writer.SetBaseDir(parent);
        writer.FileMasks().push_back(folder + "/*.*");
        writer.OpenArchive();
        writer.AddFiles();
        writer.CloseArchive();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("%.3f\n", elapsed.count());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
