#include "dsp/Complex.h"

#include <gtest/gtest.h>

TEST(Complex, ArithmeticFollowsComplexRules) {
    const CComplex a(1.0, 2.0);
    const CComplex b(3.0, -4.0);
    const CComplex sum = a + b;
    const CComplex difference = a - b;
    const CComplex product = a * b; // 3 - 4i + 6i + 8 = 11 + 2i
    const CComplex quotient = product / b;
    EXPECT_EQ(sum.GetReal(), 4.0);
    EXPECT_EQ(sum.GetImag(), -2.0);
    EXPECT_EQ(difference.GetReal(), -2.0);
    EXPECT_EQ(difference.GetImag(), 6.0);
    EXPECT_EQ(product.GetReal(), 11.0);
    EXPECT_EQ(product.GetImag(), 2.0);
    EXPECT_DOUBLE_EQ(quotient.GetReal(), 1.0);
    EXPECT_DOUBLE_EQ(quotient.GetImag(), 2.0);
}

TEST(Complex, ConstructionAndAssignment) {
    EXPECT_EQ(CComplex().GetReal(), 0.0);
    EXPECT_EQ(CComplex().GetImag(), 0.0);
    const CComplex real(2.5);
    EXPECT_EQ(real.GetReal(), 2.5);
    EXPECT_EQ(real.GetImag(), 0.0);
    CComplex c(1.0, 7.0);
    c = -3.0; // assigning a double clears the imaginary part
    EXPECT_EQ(c.GetReal(), -3.0);
    EXPECT_EQ(c.GetImag(), 0.0);
    EXPECT_EQ(c.GetTimeSample(), -3.0);
    EXPECT_EQ(CComplex(3.0, 4.0).GetMagnitude(), 5.0);
}

struct PhaseCase {
    double re, im, degrees;
};

class ComplexPhase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(ComplexPhase, IsInDegreesWithinPlusMinus180) {
    const PhaseCase& c = GetParam();
    EXPECT_NEAR(CComplex(c.re, c.im).GetPhase(), c.degrees, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Quadrants, ComplexPhase,
                         ::testing::Values(PhaseCase{1, 0, 0}, PhaseCase{1, 1, 45},
                                           PhaseCase{0, 1, 90}, PhaseCase{-1, 0, 180},
                                           PhaseCase{0, -1, -90}, PhaseCase{-1, -1, -135},
                                           PhaseCase{1, -std::sqrt(3.0), -60}));
