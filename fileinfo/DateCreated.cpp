#include "fileinfo/DateCreated.h"

namespace {

void WriteDigits(uint32_t value, uint8_t *digits, uint32_t count) {
    for (uint32_t i = count; i > 0; --i) {
        digits[i - 1] = static_cast<uint8_t>('0' + value % 10);
        value /= 10;
    }
}

bool IsCSpace(uint8_t byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

bool IsDigit(uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

// atoi confined to data[begin, end) and to the bytes the dataset has. At
// most four digits are read, so the value cannot overflow.
int32_t ReadNumberField(const uint8_t *data, uint32_t length, uint32_t begin, uint32_t end) {
    if (end > length) end = length;
    uint32_t at = begin;
    while (at < end && IsCSpace(data[at])) ++at;
    bool negative = false;
    if (at < end && (data[at] == '+' || data[at] == '-')) {
        negative = data[at] == '-';
        ++at;
    }
    int32_t value = 0;
    for (; at < end && IsDigit(data[at]); ++at) value = value * 10 + (data[at] - '0');
    return negative ? -value : value;
}

}  // namespace

void EncodeDateCreated(const png_time &time, uint8_t digits[kDateCreatedLength]) {
    // A five-digit year would not fit the field; its last four digits do.
    WriteDigits(time.year % 10000u, digits, 4);
    WriteDigits(time.month % 100u, digits + 4, 2);
    WriteDigits(time.day % 100u, digits + 6, 2);
}

void DecodeDateCreated(const uint8_t *data, uint32_t length, png_time *time) {
    // A part that does not fit its field (a sign, say) wraps as C assignment
    // would; judging the date is left to whoever writes the tIME chunk.
    time->year = static_cast<png_uint_16>(ReadNumberField(data, length, 0, 4));
    time->month = static_cast<png_byte>(ReadNumberField(data, length, 4, 6));
    time->day = static_cast<png_byte>(ReadNumberField(data, length, 6, 8));
    time->hour = 0;
    time->minute = 0;
    time->second = 0;
}
