#pragma once

// The system's random formulas divide by 32767: this generator yields exactly
// 0..32767, whatever the platform's own rand() range is.
class MRandom
{
public:
    static constexpr int Max = 32767;

    static void seed(unsigned int value);
    static int next();                 // 0..32767
    static double unit();              // next() / 32767.0, in [0, 1]
};
