#include "platform/Encoding.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

namespace platform {

namespace {

// The length of the UTF-8 sequence that starts with this byte.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    return (lead & 0xF8) == 0xF0 ? 4 : 1;
}

class Converter {
public:
    Converter(const char* to = kAnsiCodePage, const char* from = "UTF-8")
        : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("No converter to the code page " + std::string(kAnsiCodePage));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t Handle() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

QByteArray ToAnsi(const QString& text) {
    QByteArray in = text.toUtf8();
    Converter converter;
    QByteArray out(in.size() + 1, '\0'); // never longer: one byte per character
    char* src = in.data();
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    while (srcLeft > 0) {
        if (iconv(converter.Handle(), &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            throw std::runtime_error("Code page conversion failed");
        // Not representable (or not valid): one '?' for the whole character.
        const size_t skip =
            std::min<size_t>(srcLeft, SequenceLength(static_cast<unsigned char>(*src)));
        src += skip;
        srcLeft -= skip;
        *dst++ = '?';
        --dstLeft;
    }
    out.truncate(static_cast<qsizetype>(dst - out.data()));
    return out;
}

QString FromAnsi(const QByteArray& bytes) {
    Converter converter("UTF-8", kAnsiCodePage);
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 3 + 1, '\0'); // at most three UTF-8 bytes a character
    char* src = in.data();
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    while (srcLeft > 0 &&
           iconv(converter.Handle(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        // A byte the code page leaves undefined reads as the replacement character.
        if (dstLeft < 3)
            break;
        std::memcpy(dst, "\xEF\xBF\xBD", 3);
        dst += 3;
        dstLeft -= 3;
        ++src;
        --srcLeft;
    }
    out.truncate(static_cast<qsizetype>(dst - out.data()));
    return QString::fromUtf8(out);
}

} // namespace platform
