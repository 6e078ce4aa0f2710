#include "exact_decimal.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace calc {

namespace {

// Unsigned big integer in base 10^9, least significant limb first.
class BigDecimal {
public:
    explicit BigDecimal(uint64_t value) {
        do {
            limbs_.push_back(static_cast<uint32_t>(value % kBase));
            value /= kBase;
        } while (value != 0);
    }

    void Multiply(uint32_t factor) {
        uint64_t carry = 0;
        for (uint32_t& limb : limbs_) {
            uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
            limb = static_cast<uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            limbs_.push_back(static_cast<uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }

    // Multiplies by base^count, in chunks of base^chunk that fit 32 bits.
    void MultiplyPower(uint32_t base, int count, uint32_t chunkFactor, int chunk) {
        for (; count >= chunk; count -= chunk) Multiply(chunkFactor);
        uint32_t rest = 1;
        for (; count > 0; --count) rest *= base;
        if (rest != 1) Multiply(rest);
    }

    std::string ToString() const {
        std::string text = std::to_string(limbs_.back());
        for (size_t i = limbs_.size() - 1; i-- > 0;) {
            std::string limb = std::to_string(limbs_[i]);
            text.append(9 - limb.size(), '0');
            text += limb;
        }
        return text;
    }

private:
    static constexpr uint64_t kBase = 1000000000;
    std::vector<uint32_t> limbs_;
};

}  // namespace

DecimalExpansion ExpandDecimal(long double magnitude) {
    // magnitude = fraction * 2^binaryExponent with fraction in [0.5, 1);
    // the 64-bit significand is fraction * 2^64, an integer.
    int binaryExponent = 0;
    long double fraction = std::frexp(magnitude, &binaryExponent);
    auto significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    int shift = binaryExponent - 64;

    BigDecimal number(significand);
    int decimalShift = 0;
    if (shift >= 0) {
        number.MultiplyPower(2, shift, 1u << 31, 31);
    } else {
        // m * 2^-k == m * 5^k / 10^k
        number.MultiplyPower(5, -shift, 1220703125u, 13);
        decimalShift = shift;
    }
    DecimalExpansion result;
    result.digits = number.ToString();
    result.exponent = static_cast<int>(result.digits.size()) + decimalShift;
    size_t last = result.digits.find_last_not_of('0');
    result.digits.resize(last + 1);
    return result;
}

}  // namespace calc
