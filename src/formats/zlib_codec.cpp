// SPDX-License-Identifier: GPL-3.0-or-later
#include "zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>

namespace orvane {

namespace {

int WindowBits(ZlibWrapper wrapper) {
    return wrapper == ZlibWrapper::Raw ? -MAX_WBITS : MAX_WBITS;
}

// zlib counts in unsigned int; every buffer here is far smaller, but a span is not.
uInt Count(std::size_t size) {
    return static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));
}

class Inflater {
public:
    Inflater(ByteSpan in, ZlibWrapper wrapper) {
        m_ok = inflateInit2(&m_stream, WindowBits(wrapper)) == Z_OK;
        m_stream.next_in = const_cast<Bytef*>(in.data());
        m_stream.avail_in = Count(in.size());
    }
    ~Inflater() {
        if (m_ok) {
            inflateEnd(&m_stream);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Fills `out` from its start; `produced` counts what came out.
    InflateStatus Run(std::span<std::uint8_t> out, std::size_t& produced) {
        produced = 0;
        if (!m_ok) {
            return InflateStatus::Damaged;
        }
        m_stream.next_out = out.data();
        m_stream.avail_out = Count(out.size());
        for (;;) {
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            produced = out.size() - m_stream.avail_out;
            switch (result) {
                case Z_STREAM_END:
                    return InflateStatus::Ended;
                case Z_OK:
                    if (m_stream.avail_out == 0) {
                        return InflateStatus::OutputFull;
                    }
                    break;
                case Z_BUF_ERROR:
                    if (m_stream.avail_in == 0) {
                        return InflateStatus::InputEnded;
                    }
                    return m_stream.avail_out == 0 ? InflateStatus::OutputFull
                                                   : InflateStatus::Damaged;
                default:
                    return InflateStatus::Damaged;
            }
        }
    }

    // After OutputFull: a full buffer may be exactly the stream, and only output beyond it is too
    // much.
    InflateStatus Finish() {
        std::uint8_t probe[64];
        std::size_t more = 0;
        const InflateStatus status = Run(probe, more);
        return more != 0 ? InflateStatus::OutputFull : status;
    }

    std::size_t Consumed(ByteSpan in) const { return in.size() - m_stream.avail_in; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

}  // namespace

InflateStatus InflateInto(ByteSpan in, ZlibWrapper wrapper, std::span<std::uint8_t> out,
                          std::size_t& produced, std::size_t& consumed) {
    Inflater inflater(in, wrapper);
    InflateStatus status = inflater.Run(out, produced);
    if (status == InflateStatus::OutputFull) {
        status = inflater.Finish();
    }
    consumed = inflater.Consumed(in);
    return status;
}

InflateStatus InflateCounting(ByteSpan in, ZlibWrapper wrapper, std::size_t limit,
                              std::size_t& produced, std::size_t& consumed) {
    Inflater inflater(in, wrapper);
    std::array<std::uint8_t, 16384> scratch;
    produced = 0;
    for (;;) {
        std::size_t piece = 0;
        const InflateStatus status = inflater.Run(scratch, piece);
        produced += piece;
        if (produced > limit || status != InflateStatus::OutputFull) {
            consumed = inflater.Consumed(in);
            return produced > limit ? InflateStatus::OutputFull : status;
        }
    }
}

InflateStatus InflateAll(ByteSpan in, ZlibWrapper wrapper, std::size_t limit, std::size_t expected,
                         Bytes& out, std::size_t& consumed) {
    Inflater inflater(in, wrapper);
    out.resize(std::clamp<std::size_t>(expected, 1, limit));
    std::size_t total = 0;
    for (;;) {
        std::size_t produced = 0;
        InflateStatus status = inflater.Run(std::span(out).subspan(total), produced);
        total += produced;
        if (status == InflateStatus::OutputFull && out.size() < limit) {
            out.resize(std::min(limit, std::max<std::size_t>(2 * out.size(), 1 << 16)));
            continue;
        }
        if (status == InflateStatus::OutputFull) {
            status = inflater.Finish();
        }
        out.resize(total);
        consumed = inflater.Consumed(in);
        return status;
    }
}

bool DeflateAppend(ByteSpan in, ZlibWrapper wrapper, int level, Bytes& out) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, WindowBits(wrapper), 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return false;
    }
    const std::size_t start = out.size();
    out.resize(start + deflateBound(&stream, Count(in.size())));
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = Count(in.size());
    stream.next_out = out.data() + start;
    stream.avail_out = Count(out.size() - start);
    const int result = deflate(&stream, Z_FINISH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

std::uint32_t Crc32(ByteSpan bytes) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

}  // namespace orvane
