#pragma once

namespace quarvo {

// How decoding one entry's data ended.
enum class DecodeStatus {
    Ok,
    WrongPassword, // the encryption header's check byte or the AES password verifier does not match
    CrcMismatch,   // the data decoded to the declared size but its CRC-32 differs
    TooLong,       // the data would decode to more than the declared size; decoding stopped there
    EndsEarly,     // every compressed byte was there, but they decode to less than the declared size: the
                   // stream ended early, or a stored entry holds fewer bytes than it declares
    Truncated,     // the archive ends before the entry's compressed data does
    Corrupt,       // the compressed stream is not valid data of its method, or does not end within the
                   // entry's compressed size
    NotAuthentic,  // an AES entry's authentication code does not match its data: it was changed or
                   // damaged after it was encrypted
    MemoryLimit,   // the stream asks for more memory than an entry may use (an LZMA, XZ or Zstandard
                   // dictionary beyond the limit)
    Unsupported,   // the stream uses a variant of its method the program cannot decode
    ReadError,     // the archive could not be read
    OutputFailed,  // the sink refused the data (a write error)
    Cancelled,     // the progress callback asked to stop
};

} // namespace quarvo
