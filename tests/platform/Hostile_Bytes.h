#pragma once

// Damaged bytes for the tests of the program's readers: tokens that upset
// parsers and encoders, random mutation of a valid file, and random noise.
// Every caller seeds its own generator, so each case is reproducible.

#include <QByteArray>
#include <QByteArrayList>

#include <random>

namespace Hostile_Bytes {

inline // Pieces that upset parsers and encoders, spliced into files at random.
const QByteArrayList& Hostile_Tokens()
{
    static const QByteArrayList Tokens = {
        "<", ">", "&", "&amp;", "&#0;", "&#1;", "&#xD800;", "&#xDFFF;", "&#xFFFE;", "&#x1F600;", "&#x110000;",
        "&#99999999999;", "&undefined;", QByteArray(1, '\0'), "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\xFF",
        "\xE2\x82", "<!--", "-->", "<![CDATA[", "]]>", "<?pi x?>", "<!DOCTYPE x [<!ENTITY e \"eee\">]>", "&e;",
        "<row Enable=\"Y\" Name=\"\xF0\x9F\x98\x80\"/>", "\"", "'", " Enable=\"Y\"", "=", "\r\n", "\xEF\xBB\xBF",
        "\xFF\xFE", "<x>", "</x>", "<PROFINET_NAME_STA>&#1;\xF0\x9F\x98\x80</PROFINET_NAME_STA>",
    };
    return Tokens;
}

inline QByteArray Mutate(QByteArray Bytes, std::mt19937& Random)
{
    const auto Pick = [&](qsizetype Bound) { return Bound <= 0 ? 0 : static_cast<qsizetype>(Random() % Bound); };
    const int Steps = 1 + static_cast<int>(Random() % 4);
    for (int Step = 0; Step < Steps; ++Step) {
        const qsizetype At = Pick(Bytes.size() + 1);
        switch (Random() % 7) {
        case 0:
            if (At < Bytes.size())
                Bytes[At] = static_cast<char>(Bytes[At] ^ (1 << (Random() % 8)));
            break;
        case 1:
            if (At < Bytes.size())
                Bytes[At] = static_cast<char>(Random() & 0xFF);
            break;
        case 2: Bytes.remove(At, 1 + Pick(16)); break;
        case 3: {
            QByteArray Noise;
            for (qsizetype I = 0, N = 1 + Pick(8); I < N; ++I)
                Noise.append(static_cast<char>(Random() & 0xFF));
            Bytes.insert(At, Noise);
            break;
        }
        case 4: Bytes.insert(At, Hostile_Tokens()[Pick(Hostile_Tokens().size())]); break;
        case 5: Bytes.insert(At, Bytes.mid(Pick(Bytes.size()), 1 + Pick(64))); break;
        default: Bytes.truncate(At); break;
        }
    }
    return Bytes;
}

inline QByteArray Random_Bytes(std::mt19937& Random, qsizetype Size)
{
    QByteArray Bytes(Size, '\0');
    for (char& B : Bytes)
        B = static_cast<char>(Random() & 0xFF);
    return Bytes;
}

} // namespace Hostile_Bytes
