#pragma once

// Compresses the chunks of the files being archived, in worker threads when
// there are several cores. Each chunk of an entry is deflated as a piece of
// one raw deflate stream: primed with the last 32 KiB of the chunk before it
// and ended with a sync flush (the last chunk with the final block), so the
// pieces joined in order form the entry's data. The caller writes them in
// order; the bytes do not depend on the number of threads.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace archive {

struct CompressJob {
    // Input: the chunk, the tail of the chunk before it, and whether the
    // entry ends with this chunk.
    std::vector<unsigned char> input;
    std::size_t inputSize = 0;
    std::vector<unsigned char> dictionary;
    bool finish = false;
    // Results: the deflated bytes (the input itself is the data when the
    // level is 0) and the CRC-32 of the input.
    std::vector<unsigned char> output;
    std::size_t outputSize = 0;
    std::uint32_t crc = 0;
    std::string error;
    bool done = false;

    const unsigned char* Data() const { return output.empty() && outputSize == 0 ? input.data() : output.data(); }
};

class ChunkCompressor {
public:
    // level 0 only computes CRCs. threads 0 or 1 does all work in the
    // caller's thread.
    ChunkCompressor(int level, unsigned threads);
    ~ChunkCompressor();
    ChunkCompressor(const ChunkCompressor&) = delete;
    ChunkCompressor& operator=(const ChunkCompressor&) = delete;

    void Submit(CompressJob& job);
    // Blocks until job is done.
    void Wait(CompressJob& job);
    unsigned Threads() const { return static_cast<unsigned>(fWorkers.size()); }

private:
    class Deflater;
    void WorkerLoop();

    int fLevel;
    std::unique_ptr<Deflater> fInline;
    std::vector<std::thread> fWorkers;
    std::mutex fMutex;
    std::condition_variable fWork;
    std::condition_variable fDone;
    std::deque<CompressJob*> fQueue;
    bool fStopping = false;
};

} // namespace archive
