#include "oracle/ReadingState.h"

#include <utility>

namespace oracle {

ReadingState& TheReading() {
    static ReadingState reading;
    return reading;
}

void DealDeck(ReadingState& state, platform::RandomSource& random) {
    for (int i = 0; i < kDeckSize; ++i)
        state.Deck[i] = i + 1;
    // After step k the first k positions are a uniform arrangement of what
    // was there; a number is drawn for every k, k = 1 included.
    for (int k = 1; k <= kDeckSize; ++k) {
        const int j = random.Random(k);
        std::swap(state.Deck[k - 1], state.Deck[j]);
    }
}

void ShuffleDeck(ReadingState& state, platform::RandomSource& random) {
    random.Randomize();
    DealDeck(state, random);
}

void ResetReading(ReadingState& state, ReadingLog& log, platform::RandomSource& random) {
    log.ClearLog();
    ShuffleDeck(state, random);
}

void ClearReading(ReadingState& state) {
    state.Deck.fill(0);
    state.OpenedCount = 0;
    state.SpreadKind = 0;
}

} // namespace oracle
