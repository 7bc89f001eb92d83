// Writes into a local array of sixteen bytes, for the overflow probe and its
// module: past it when asked, as a bounds fault in the module would.
#pragma once

#include <cstring>

// COUNT bytes into the array, one by one (no library call the compiler could
// check): past sixteen they overwrite the stack cookie behind the array.
__attribute__((noinline)) inline int WriteIntoSixteenBytes(int count) {
    volatile char bytes[16];
    for (int i = 0; i < count; ++i) bytes[i] = 'x';
    return bytes[0];
}

// A string of LENGTH characters (up to 63) copied with strcpy into an array
// of sixteen at the head of a larger record: a copy past the array stays in
// the record, where no cookie sees it, so only _FORTIFY_SOURCE's checked copy
// (which knows the array's own size) can refuse more than fifteen.
__attribute__((noinline)) inline int CopyStringIntoSixteenBytes(int length) {
    char text[64] = {};
    std::memset(text, 'x', static_cast<std::size_t>(length));
    struct {
        char bytes[16];
        char slack[48];
    } record{};
    std::strcpy(record.bytes, text);
    return record.bytes[0] + record.slack[0];
}
