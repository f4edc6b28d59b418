#pragma once
// An exact unsigned integer for tests, to derive expected extended values independently of
// the code under test: 32-bit limbs, least significant first, schoolbook arithmetic.

#include <compare>
#include <cstdint>
#include <utility>
#include <vector>

class BigUnsigned {
  public:
    explicit BigUnsigned(uint64_t value)
        : limbs_{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)} {
        Trim();
    }

    static BigUnsigned PowerOfTen(int exponent) {
        BigUnsigned result(1), factor(10);
        for (; exponent != 0; exponent >>= 1) {
            if (exponent & 1) result = result * factor;
            factor = factor * factor;
        }
        return result;
    }

    BigUnsigned operator+(const BigUnsigned& other) const {
        BigUnsigned sum = limbs_.size() >= other.limbs_.size() ? *this : other;
        const BigUnsigned& smaller = limbs_.size() >= other.limbs_.size() ? other : *this;
        sum.limbs_.push_back(0);
        uint64_t carry = 0;
        for (size_t i = 0; i < sum.limbs_.size(); ++i) {
            carry += uint64_t{sum.limbs_[i]} + (i < smaller.limbs_.size() ? smaller.limbs_[i] : 0);
            sum.limbs_[i] = static_cast<uint32_t>(carry);
            carry >>= 32;
        }
        sum.Trim();
        return sum;
    }

    BigUnsigned operator*(const BigUnsigned& other) const {
        BigUnsigned product(0);
        product.limbs_.assign(limbs_.size() + other.limbs_.size(), 0);
        for (size_t i = 0; i < limbs_.size(); ++i) {
            uint64_t carry = 0;
            for (size_t j = 0; j < other.limbs_.size(); ++j) {
                const uint64_t sum =
                    uint64_t{limbs_[i]} * other.limbs_[j] + product.limbs_[i + j] + carry;
                product.limbs_[i + j] = static_cast<uint32_t>(sum);
                carry = sum >> 32;
            }
            product.limbs_[i + other.limbs_.size()] = static_cast<uint32_t>(carry);
        }
        product.Trim();
        return product;
    }

    BigUnsigned ShiftedLeft(int bits) const {
        BigUnsigned shifted(0);
        shifted.limbs_.assign(limbs_.size() + bits / 32 + 1, 0);
        for (size_t i = 0; i < limbs_.size(); ++i) {
            const uint64_t moved = uint64_t{limbs_[i]} << (bits % 32);
            shifted.limbs_[i + bits / 32] |= static_cast<uint32_t>(moved);
            shifted.limbs_[i + bits / 32 + 1] |= static_cast<uint32_t>(moved >> 32);
        }
        shifted.Trim();
        return shifted;
    }

    // The distance between two values.
    static BigUnsigned Distance(const BigUnsigned& a, const BigUnsigned& b) {
        const BigUnsigned& larger = a < b ? b : a;
        const BigUnsigned& smaller = a < b ? a : b;
        BigUnsigned difference = larger;
        int64_t borrow = 0;
        for (size_t i = 0; i < difference.limbs_.size(); ++i) {
            int64_t limb = int64_t{difference.limbs_[i]} - borrow -
                           (i < smaller.limbs_.size() ? smaller.limbs_[i] : 0);
            borrow = limb < 0;
            difference.limbs_[i] = static_cast<uint32_t>(limb + (borrow << 32));
        }
        difference.Trim();
        return difference;
    }

    /// The quotient and the remainder, by binary long division.
    static std::pair<BigUnsigned, BigUnsigned> Divide(const BigUnsigned& dividend,
                                                      const BigUnsigned& divisor) {
        BigUnsigned quotient(0), remainder = dividend;
        for (int bit = dividend.BitLength() - divisor.BitLength(); bit >= 0; --bit) {
            const BigUnsigned shifted = divisor.ShiftedLeft(bit);
            if (!(remainder < shifted)) {
                remainder = Distance(remainder, shifted);
                quotient = quotient.WithBit(bit);
            }
        }
        return {quotient, remainder};
    }

    int BitLength() const {
        if (limbs_.empty()) return 0;
        int top = 32;
        while ((limbs_.back() >> (top - 1)) == 0)
            --top;
        return static_cast<int>(32 * (limbs_.size() - 1)) + top;
    }

    bool Bit(int index) const {
        const size_t limb = static_cast<size_t>(index / 32);
        return index >= 0 && limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1) != 0;
    }

    bool IsZero() const { return limbs_.empty(); }

    /// The 64 bits from bit `index` up.
    uint64_t BitsFrom(int index) const {
        uint64_t bits = 0;
        for (int i = 63; i >= 0; --i)
            bits = (bits << 1) | (Bit(index + i) ? 1 : 0);
        return bits;
    }

    bool AnyBitBelow(int index) const {
        for (int i = 0; i < index; ++i) {
            if (Bit(i)) return true;
        }
        return false;
    }

    friend std::strong_ordering operator<=>(const BigUnsigned& a, const BigUnsigned& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
        for (size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
        }
        return std::strong_ordering::equal;
    }
    friend bool operator==(const BigUnsigned& a, const BigUnsigned& b) = default;

  private:
    BigUnsigned WithBit(int index) const {
        BigUnsigned result = *this;
        const size_t limb = static_cast<size_t>(index / 32);
        if (result.limbs_.size() <= limb) result.limbs_.resize(limb + 1, 0);
        result.limbs_[limb] |= uint32_t{1} << (index % 32);
        return result;
    }

    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }

    std::vector<uint32_t> limbs_;
};
