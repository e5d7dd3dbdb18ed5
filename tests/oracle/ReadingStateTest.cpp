#include "oracle/ReadingState.h"

#include "support/Printers.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace oracle;

namespace {

struct CountingLog : ReadingLog {
    int Cleared = 0;
    void ClearLog() override { ++Cleared; }
};

bool IsPermutation(const DeckArray& deck) {
    DeckArray sorted = deck;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < kDeckSize; ++i)
        if (sorted[i] != i + 1)
            return false;
    return true;
}

} // namespace

TEST(ReadingState, EveryResetDealsAPermutationAndEmptiesTheLog) {
    ReadingState state;
    state.OpenedCount = 3;
    state.SpreadKind = 5;
    state.Deck.fill(7); // garbage before the shuffle does not matter
    CountingLog log;
    platform::RandomSource random;
    for (int i = 0; i < 500; ++i) {
        ResetReading(state, log, random);
        ASSERT_TRUE(IsPermutation(state.Deck)) << "reset " << i;
    }
    EXPECT_EQ(log.Cleared, 500);
    // The counters are the spread's business, not the shuffle's.
    EXPECT_EQ(state.OpenedCount, 3);
    EXPECT_EQ(state.SpreadKind, 5);
}

TEST(ReadingState, ResetsInQuickSuccessionAreIndependent) {
    ReadingState a, b;
    platform::RandomSource random;
    int same = 0, samePosition = 0;
    for (int i = 0; i < 200; ++i) {
        ShuffleDeck(a, random);
        ShuffleDeck(b, random);
        same += a.Deck == b.Deck;
        for (int p = 0; p < kDeckSize; ++p)
            samePosition += a.Deck[p] == b.Deck[p];
    }
    EXPECT_EQ(same, 0);
    // Independent decks agree at a position one time in 24: about 200 here.
    EXPECT_LT(samePosition, 320);
}

TEST(ReadingState, DealIsForwardFisherYatesWithADrawForEveryK) {
    // Reference: positions 0..k-1 hold a uniform arrangement after step k.
    platform::RandomSource a(42), b(42);
    ReadingState state;
    DealDeck(state, a);
    DeckArray expected;
    for (int i = 0; i < kDeckSize; ++i)
        expected[i] = i + 1;
    for (int k = 1; k <= kDeckSize; ++k)
        std::swap(expected[k - 1], expected[b.Random(k)]);
    EXPECT_EQ(state.Deck, expected);
    EXPECT_EQ(a.Random(1000000), b.Random(1000000)); // both drew 24 numbers
}

TEST(ReadingState, EveryRuneIsEquallyLikelyAtEveryPosition) {
    // A fixed seed makes this a deterministic check, not a flaky one.
    platform::RandomSource random(20261210);
    constexpr int kDeals = 48000;
    std::array<std::array<int, kDeckSize>, kDeckSize> counts{};
    ReadingState state;
    for (int i = 0; i < kDeals; ++i) {
        DealDeck(state, random);
        for (int p = 0; p < kDeckSize; ++p)
            ++counts[p][state.Deck[p] - 1];
    }
    const double expected = double(kDeals) / kDeckSize;
    double chi2 = 0;
    for (const auto& row : counts)
        for (int c : row)
            chi2 += (c - expected) * (c - expected) / expected;
    // 23 x 23 = 529 degrees of freedom (rows and columns both sum to fixed
    // totals); the 0.999 quantile is about 637.
    EXPECT_LT(chi2, 637.0);
    EXPECT_GT(chi2, 430.0); // far too even would mean it is not random at all
}

TEST(ReadingState, RandomIsUniformForSmallRanges) {
    platform::RandomSource random(7);
    for (int k : {1, 2, 3, 6, 18, 24}) {
        std::vector<int> counts(k);
        const int draws = 6000 * k;
        for (int i = 0; i < draws; ++i) {
            const int v = random.Random(k);
            ASSERT_TRUE(v >= 0 && v < k);
            ++counts[v];
        }
        for (int c : counts)
            EXPECT_NEAR(c, 6000, 6 * std::sqrt(6000.0)) << "k = " << k;
    }
    EXPECT_EQ(random.Random(0), 0);
}

TEST(ReadingState, ClearingZeroesDeckAndCounters) {
    ReadingState state;
    platform::RandomSource random;
    ShuffleDeck(state, random);
    state.OpenedCount = 2;
    state.SpreadKind = 4;
    ClearReading(state);
    EXPECT_EQ(state.Deck, DeckArray{});
    EXPECT_EQ(state.OpenedCount, 0);
    EXPECT_EQ(state.SpreadKind, 0);
}
