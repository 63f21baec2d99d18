// The chunk and path queues: order, ownership and the count-once consumption pattern.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "capture/ChunkQueues.h"

namespace {

PcmChunk makeChunk(int producer, int sequence) {
    auto *data = new unsigned char[8];
    std::memcpy(data, &producer, 4);
    std::memcpy(data + 4, &sequence, 4);
    return PcmChunk{8, data};
}

// Takes one chunk the way every consumer does: copy the front, pop, then use the copy.
PcmChunk takeChunk() {
    PcmChunk chunk = PcmQueue.front();
    PcmQueue.pop();
    return chunk;
}

TEST(PcmQueueThreaded, TwoProducersWhileTheConsumerDrains) {
    constexpr int perProducer = 5000;
    std::vector<int> next(2, 0);
    int received = 0;
    bool inOrder = true;
    std::atomic<int> producersDone{0};
    auto produce = [&](int producer) {
        for (int i = 0; i < perProducer; ++i) {
            PcmQueue.push(makeChunk(producer, i));
        }
        ++producersDone;
    };
    std::thread a(produce, 0);
    std::thread b(produce, 1);
    while (producersDone < 2 || PcmQueue.count() > 0) {
        uint32_t n = PcmQueue.count();
        for (uint32_t i = 0; i < n; ++i) {
            PcmChunk chunk = takeChunk();
            int producer = 0;
            int sequence = 0;
            std::memcpy(&producer, chunk.data, 4);
            std::memcpy(&sequence, chunk.data + 4, 4);
            inOrder = inOrder && sequence == next[producer];
            next[producer] = sequence + 1;
            ++received;
            delete[] chunk.data;
        }
    }
    a.join();
    b.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(received, 2 * perProducer);
    EXPECT_EQ(next, (std::vector<int>{perProducer, perProducer}));
}

TEST(PcmQueueThreaded, ChunkPushedDuringDiscardAllSurvivesIt) {
    for (int i = 0; i < 20000; ++i) {
        PcmQueue.push(makeChunk(0, i));
    }
    std::atomic<bool> pushed{false};
    std::thread late([&] {
        PcmQueue.push(makeChunk(1, 77));
        pushed = true;
    });
    PcmQueue.discardAll();
    late.join();
    // Whatever was not counted at the start of the discard is still there; the late chunk is
    // either among the discarded ones (pushed before the count) or the one left.
    while (PcmQueue.count() > 0) {
        PcmChunk chunk = takeChunk();
        int producer = 0;
        std::memcpy(&producer, chunk.data, 4);
        EXPECT_EQ(producer, 1);
        delete[] chunk.data;
    }
    EXPECT_TRUE(pushed);
}

TEST(PcmQueue, DiscardAllCountsOnceAtItsStart) {
    PcmQueue.push(PcmChunk{0, nullptr});
    PcmQueue.push(makeChunk(0, 1));
    EXPECT_EQ(PcmQueue.count(), 2u);
    PcmQueue.discardAll();
    EXPECT_EQ(PcmQueue.count(), 0u);
    PcmQueue.pop(); // popping an empty queue does nothing
    EXPECT_EQ(PcmQueue.count(), 0u);
    PcmQueue.discardAll();
}

wchar_t *copyPath(const wchar_t *path) {
    auto *copy = new wchar_t[wcslen(path) + 1];
    wcscpy(copy, path);
    return copy;
}

TEST(DropQueue, KeepsOrderAndHandsOverOwnership) {
    DropQueue.push(copyPath(L"a.wav"));
    DropQueue.push(copyPath(L"b.wav"));
    ASSERT_EQ(DropQueue.count(), 2u);
    wchar_t *first = DropQueue.front();
    DropQueue.pop();
    EXPECT_STREQ(first, L"a.wav");
    delete[] first;
    wchar_t *second = DropQueue.take();
    EXPECT_STREQ(second, L"b.wav");
    delete[] second;
    EXPECT_EQ(DropQueue.take(), nullptr);
}

TEST(DropQueueThreaded, ConcurrentPushAndTakeLoseNothing) {
    constexpr int total = 4000;
    std::atomic<int> taken{0};
    std::thread consumer([&] {
        while (taken < total) {
            if (wchar_t *path = DropQueue.take()) {
                delete[] path;
                ++taken;
            }
        }
    });
    for (int i = 0; i < total; ++i) {
        DropQueue.push(copyPath(L"x.wav"));
    }
    consumer.join();
    EXPECT_EQ(taken.load(), total);
    EXPECT_EQ(DropQueue.count(), 0u);
}

TEST(DropQueueThreaded, CloseEmptiesWhileAConversionTakes) {
    for (int i = 0; i < 3000; ++i) {
        DropQueue.push(copyPath(L"y.wav"));
    }
    std::thread conversion([] {
        uint32_t n = DropQueue.count();
        for (uint32_t i = 0; i < n; ++i) {
            delete[] DropQueue.take();
        }
    });
    DropQueue.discardAll();
    conversion.join();
    EXPECT_EQ(DropQueue.count(), 0u);
}

} // namespace
