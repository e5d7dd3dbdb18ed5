// The state of one reading: the shuffled deck, how many runes were opened and
// the chosen spread; and the two operations that start a reading afresh.
#pragma once

#include "platform/Random.h"

#include <array>
#include <cstdint>

namespace oracle {

constexpr int kDeckSize = 24;
using DeckArray = std::array<int32_t, kDeckSize>;

struct ReadingState {
    DeckArray Deck{};        // the rune number at each deck position
    int32_t OpenedCount = 0; // runes opened since the reading started
    int32_t SpreadKind = 0;  // 1, 4, 5 or 6: the spread and how many runes it opens
};

// The program-wide reading, read and written by the main window's handlers.
ReadingState& TheReading();

// The reading log as the reading sees it: something that can be emptied.
class ReadingLog {
public:
    virtual ~ReadingLog() = default;
    virtual void ClearLog() = 0;
};

// Reseeds the source from the clock and deals a new permutation of 1..24
// (forward Fisher-Yates). OpenedCount, SpreadKind and the log stay.
void ShuffleDeck(ReadingState& state, platform::RandomSource& random);

// Shuffles with the source as it stands, without reseeding (for tests that
// need a repeatable deal).
void DealDeck(ReadingState& state, platform::RandomSource& random);

// Empties the log, then shuffles.
void ResetReading(ReadingState& state, ReadingLog& log, platform::RandomSource& random);

// Zeroes the deck and both counters: the reading after the main window closed.
void ClearReading(ReadingState& state);

} // namespace oracle
