// The soak's one source of chance: every choice of its user is drawn from it, in turn, so that a
// seed replays the same run.
#pragma once

#include <random>

class CSoakDice {
public:
    explicit CSoakDice(unsigned seed) : m_engine(seed) {}

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }
    std::mt19937& Engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};
