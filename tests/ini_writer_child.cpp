// Writes keys of an INI file in an endless loop until it is killed; the kill test of the INI
// store starts it and kills it at random moments.
//
// ini_writer_child <file> <section> <key> <old value> <new value> [<key> <old> <new>]...
// Prints one line once the first round of writes is on disk.
#include "settings/inistore.h"

#include <QString>

#include <cstdio>

namespace {

struct KeyValues {
    QString key;
    QString oldValue;
    QString newValue;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 6 || (argc - 3) % 3 != 0) {
        std::fputs("usage: ini_writer_child <file> <section> (<key> <old> <new>)...\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString section = QString::fromLocal8Bit(argv[2]);
    QList<KeyValues> keys;
    for (int i = 3; i + 2 < argc; i += 3) {
        keys.append({QString::fromLocal8Bit(argv[i]), QString::fromLocal8Bit(argv[i + 1]),
                     QString::fromLocal8Bit(argv[i + 2])});
    }

    for (long round = 0;; ++round) {
        // All keys in one replacement, then each key alone, so that the keys also disagree with
        // each other about which value is current.
        QList<IniWrite> writes;
        for (const KeyValues& key : keys)
            writes.append({section, key.key, round % 2 == 0 ? key.newValue : key.oldValue});
        if (!writeIniStrings(path, writes))
            return 1;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const bool useNew = (round + i) % 2 != 0;
            if (!writeIniString(path, section, keys[i].key,
                                useNew ? keys[i].newValue : keys[i].oldValue))
                return 1;
        }
        if (round == 0) {
            std::puts("written");
            std::fflush(stdout);
        }
    }
}
