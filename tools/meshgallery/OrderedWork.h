#ifndef KX_MESHGALLERY_ORDEREDWORK_H
#define KX_MESHGALLERY_ORDEREDWORK_H

// Runs `work(i)` for i = 0 .. count - 1 on `threads` threads and hands each result to
// `consume(i, result)` on the calling thread, strictly in order, so that what the consumer
// writes and prints is the same whatever the number of threads. At most `window` results wait
// to be consumed at a time, so memory stays bounded by a few items, not by the count. Neither
// `work` nor `consume` may throw.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

template <typename Result, typename Work, typename Consume>
void runOrdered(size_t count, int threads, Work work, Consume consume) {
    if (threads <= 1 || count <= 1) {
        for (size_t i = 0; i < count; i++) consume(i, work(i));
        return;
    }
    const size_t window = static_cast<size_t>(threads) * 4;
    std::vector<std::optional<Result>> results(count);
    std::mutex mutex;
    std::condition_variable changed;
    size_t next = 0, consumed = 0;
    auto worker = [&]() {
        for (;;) {
            size_t i;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return next >= count || next < consumed + window; });
                if (next >= count) return;
                i = next++;
            }
            Result result = work(i);
            std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; t++) pool.emplace_back(worker);
    for (size_t i = 0; i < count; i++) {
        std::optional<Result> result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return results[i].has_value(); });
            result = std::move(results[i]);
            results[i].reset();
            consumed = i + 1;
            changed.notify_all();
        }
        consume(i, std::move(*result));
    }
    for (std::thread &thread : pool) thread.join();
}

#endif
