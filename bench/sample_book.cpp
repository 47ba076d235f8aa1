#include "sample_book.h"

namespace lbv::bench {

QByteArray WordSource::Word()
{
    QByteArray word;
    const int length = 2 + int(rng_() % 9);
    const bool latin = rng_() % 10 == 0;
    for (int i = 0; i < length; ++i)
        word.append(latin ? char('a' + rng_() % 26) : char(0xE0 + rng_() % 32));
    return word;
}

QByteArray WordSource::Sentence(int words)
{
    QByteArray s;
    for (int i = 0; i < words; ++i) {
        if (i)
            s.append(' ');
        s.append(Word());
    }
    return s + '.';
}

QByteArray MakeFb2(WordSource& words, int markerEvery, const QByteArray& marker)
{
    QByteArray book = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
                      "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
                      "xmlns:l=\"http://www.w3.org/1999/xlink\">\n<description><title-info>"
                      "<genre>sf</genre><author><first-name>Ivar</first-name><last-name>Kessel"
                      "</last-name></author><book-title>Bench</book-title><annotation><p>"
        + words.Sentence(30) + "</p></annotation></title-info></description>\n<body>\n";
    int section = 0;
    int paragraphs = 0;
    while (book.size() < kSampleBookSize) {
        book += "<section id=\"s" + QByteArray::number(++section) + "\"><title><p>"
            + words.Sentence(4) + "</p></title>\n";
        for (int p = 0; p < 40; ++p) {
            book += "<p>" + words.Sentence(10 + int(words.Next() % 40));
            if (p % 5 == 0)
                book += " <emphasis>" + words.Sentence(3) + "</emphasis> " + words.Sentence(8);
            if (p % 13 == 0)
                book += "<a l:href=\"#n1\" type=\"note\">[1]</a>";
            if (markerEvery > 0 && ++paragraphs % markerEvery == 0)
                book += ' ' + marker;
            book += "</p>\n";
        }
        book += "<empty-line/><poem><stanza><v>" + words.Sentence(6) + "</v><v>" + words.Sentence(6)
            + "</v></stanza></poem></section>\n";
    }
    return book + "</body>\n</FictionBook>\n";
}

QByteArray MakeText(WordSource& words)
{
    QByteArray text;
    while (text.size() < kSampleBookSize) {
        if (words.Next() % 40 == 0)
            text += "\r\n" + words.Sentence(3) + "\r\n\r\n";
        text += "    " + words.Sentence(20 + int(words.Next() % 60)) + "\r\n";
    }
    return text;
}

} // namespace lbv::bench
