#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include "platform.h"
#endif

// The converter behind the code page 932 tables: ICU's "windows-31j" through Qt. The Windows build's Qt has no
// ICU; there the system's own code page 932 answers the same few calls.
namespace cp932 {
#ifdef Q_OS_WIN
class Encoder {
public:
    explicit Encoder(const char* = nullptr, QStringConverter::Flags = {}) {}
    bool isValid() const { return true; }
    bool hasError() const { return m_error; }
    void resetState() { m_error = false; }
    QByteArray encode(QStringView text) {
        QByteArray bytes;
        if (!platform::cp932_encode(text, &bytes))
            m_error = true;
        return bytes;
    }

private:
    bool m_error = false;
};

class Decoder {
public:
    explicit Decoder(const char* = nullptr, QStringConverter::Flags = {}) {}
    bool isValid() const { return true; }
    bool hasError() const { return m_error; }
    void resetState() { m_error = false; }
    QString decode(QByteArrayView bytes) {
        QString text;
        if (!platform::cp932_decode(bytes, &text))
            m_error = true;
        return text;
    }

private:
    bool m_error = false;
};
#else
using Encoder = QStringEncoder;
using Decoder = QStringDecoder;
#endif
} // namespace cp932
