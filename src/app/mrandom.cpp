#include "mrandom.h"

#include <random>

namespace {
std::minstd_rand &generator()
{
    static std::minstd_rand engine(1u);
    return engine;
}
} // namespace

void MRandom::seed(unsigned int value)
{
    generator().seed(value == 0 ? 1u : value);
}

int MRandom::next()
{
    return int(generator()() & 0x7FFFu);
}

double MRandom::unit()
{
    return next() / double(Max);
}
