#include "archive/chunk_compressor.h"

#include <zlib.h>

namespace archive {

// One deflate state, reset for every chunk.
class ChunkCompressor::Deflater {
public:
    explicit Deflater(int level) : fLevel(level) {
        if (fLevel > 0)
            fReady = deflateInit2(&fStream, fLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() {
        if (fReady)
            deflateEnd(&fStream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Run(CompressJob& job) {
        job.error.clear();
        job.crc = static_cast<std::uint32_t>(crc32_z(0, job.input.data(), job.inputSize));
        if (fLevel == 0) {
            job.output.clear();
            job.outputSize = 0;
            return;
        }
        if (!fReady || deflateReset(&fStream) != Z_OK) {
            job.error = "cannot start the compression";
            return;
        }
        if (!job.dictionary.empty() &&
            deflateSetDictionary(&fStream, job.dictionary.data(), static_cast<uInt>(job.dictionary.size())) != Z_OK) {
            job.error = "cannot prime the compression";
            return;
        }
        // Room for the worst case plus the sync flush marker.
        const std::size_t bound = deflateBound(&fStream, static_cast<uLong>(job.inputSize)) + 64;
        if (job.output.size() < bound)
            job.output.resize(bound);
        fStream.next_in = job.input.data();
        fStream.avail_in = static_cast<uInt>(job.inputSize);
        std::size_t produced = 0;
        const int flush = job.finish ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            fStream.next_out = job.output.data() + produced;
            fStream.avail_out = static_cast<uInt>(job.output.size() - produced);
            const int result = deflate(&fStream, flush);
            produced = job.output.size() - fStream.avail_out;
            if (result == Z_STREAM_END || (result == Z_OK && fStream.avail_out > 0 && !job.finish))
                break;
            if (result != Z_OK && result != Z_BUF_ERROR) {
                job.error = "compression failed";
                return;
            }
            job.output.resize(job.output.size() * 2);
        }
        job.outputSize = produced;
    }

private:
    int fLevel;
    z_stream fStream{};
    bool fReady = false;
};

ChunkCompressor::ChunkCompressor(int level, unsigned threads) : fLevel(level) {
    if (threads <= 1) {
        fInline = std::make_unique<Deflater>(level);
        return;
    }
    for (unsigned i = 0; i < threads; ++i)
        fWorkers.emplace_back([this] { WorkerLoop(); });
}

ChunkCompressor::~ChunkCompressor() {
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fStopping = true;
    }
    fWork.notify_all();
    for (std::thread& worker : fWorkers)
        worker.join();
}

void ChunkCompressor::Submit(CompressJob& job) {
    job.done = false;
    if (fInline) {
        fInline->Run(job);
        job.done = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fQueue.push_back(&job);
    }
    fWork.notify_one();
}

void ChunkCompressor::Wait(CompressJob& job) {
    if (fInline)
        return;
    std::unique_lock<std::mutex> lock(fMutex);
    fDone.wait(lock, [&] { return job.done; });
}

void ChunkCompressor::WorkerLoop() {
    Deflater deflater(fLevel);
    std::unique_lock<std::mutex> lock(fMutex);
    for (;;) {
        fWork.wait(lock, [this] { return fStopping || !fQueue.empty(); });
        if (fQueue.empty())
            return;
        CompressJob* job = fQueue.front();
        fQueue.pop_front();
        lock.unlock();
        deflater.Run(*job);
        lock.lock();
        job->done = true;
        fDone.notify_all();
    }
}

} // namespace archive
