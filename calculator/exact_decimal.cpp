#include "exact_decimal.h"

#include <cmath>
#include <cstdint>
#include <optional>
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

// Unsigned big integer in base 2^32, least significant limb first.
class BigBinary {
public:
    explicit BigBinary(uint64_t value)
        : limbs_{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)} {}

    void Multiply(uint32_t factor) {
        uint64_t carry = 0;
        for (uint32_t& limb : limbs_) {
            uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
            limb = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<uint32_t>(carry));
    }

    void MultiplyPowerOfFive(int count) {
        constexpr uint32_t kFiveTo13 = 1220703125u;
        for (; count >= 13; count -= 13) Multiply(kFiveTo13);
        uint32_t rest = 1;
        for (; count > 0; --count) rest *= 5;
        if (rest != 1) Multiply(rest);
    }

    // The value shifted right by `shift` bits, when that fits 64 bits;
    // `inexact` tells whether any bit shifted out was set.
    std::optional<uint64_t> ShiftRight(int shift, bool* inexact) const {
        const size_t whole = static_cast<size_t>(shift) / 32;
        const int part = shift % 32;
        *inexact = false;
        for (size_t i = 0; i < whole && i < limbs_.size(); ++i) *inexact = *inexact || limbs_[i] != 0;
        if (whole < limbs_.size() && part != 0) *inexact = *inexact || (limbs_[whole] & ((1u << part) - 1)) != 0;
        auto limb = [&](size_t i) -> uint64_t { return i < limbs_.size() ? limbs_[i] : 0; };
        for (size_t i = whole + 3; i < limbs_.size(); ++i) {
            if (limbs_[i] != 0) return std::nullopt;
        }
        // Three limbs from `whole` hold the 64 result bits and up to 31 below them.
        const uint64_t low = limb(whole) | limb(whole + 1) << 32;
        const uint64_t high = limb(whole + 2);
        if (part == 0) return high != 0 ? std::nullopt : std::optional<uint64_t>(low);
        if ((high >> part) != 0) return std::nullopt;
        return (low >> part) | (high << (64 - part));
    }

private:
    std::vector<uint32_t> limbs_;
};

uint64_t PowerOfTen(int count) {
    uint64_t power = 1;
    for (int i = 0; i < count; ++i) power *= 10;
    return power;
}

DecimalExpansion WithoutTrailingZeros(std::string digits, int exponent) {
    digits.resize(digits.find_last_not_of('0') + 1);
    return {std::move(digits), exponent};
}

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

DecimalExpansion LeadingDecimalDigits(long double magnitude, int count) {
    int binaryExponent = 0;
    long double fraction = std::frexp(magnitude, &binaryExponent);
    auto cutFullExpansion = [&] {
        DecimalExpansion full = ExpandDecimal(magnitude);
        if (full.digits.size() > static_cast<size_t>(count)) {
            full.digits.resize(static_cast<size_t>(count));
            full = WithoutTrailingZeros(full.digits + "1", full.exponent);
        }
        return full;
    };
    // 1 and above: the full expansion is at most a few thousand digits.
    if (binaryExponent > 0) return cutFullExpansion();
    // magnitude = significand / 2^k with k >= 64. With the decimal exponent
    // e (10^(e-1) <= magnitude < 10^e), the first `count` digits are
    // floor(magnitude * 10^(count-e)) = (significand * 5^q) >> (k - q)
    // for q = count - e; the bits shifted out tell whether more digits follow.
    const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    const int k = 64 - binaryExponent;
    // magnitude < 2^binaryExponent, so e is at most this, and at least this - 1.
    int exponent = static_cast<int>(std::floor(binaryExponent * 0.30102999566398119521L)) + 1;
    // The estimate is right or one too high; a third try would mean the
    // arithmetic is off, and the full expansion is the answer then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int q = count - exponent;
        BigBinary scaled(significand);
        scaled.MultiplyPowerOfFive(q);
        bool inexact = false;
        std::optional<uint64_t> leading = scaled.ShiftRight(k - q, &inexact);
        if (leading && *leading >= PowerOfTen(count - 1)) {
            std::string digits = std::to_string(*leading);
            if (inexact) digits += '1';
            return WithoutTrailingZeros(std::move(digits), exponent);
        }
        if (!leading) {
            ++exponent;  // more digits than `count` (not reached: e is never underestimated)
        } else {
            --exponent;  // fewer digits than `count`: the value is below 10^(e-1)
        }
    }
    return cutFullExpansion();
}

}  // namespace calc
