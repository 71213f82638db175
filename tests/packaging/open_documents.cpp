// moravik_open_documents FOLDER NAME...: loads an installed copy's help documents as the
// windows do; exit status 0 when each opened and holds text, 1 otherwise, 2 on wrong usage.
#include <QDir>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextStream>

#include "moravik/rtf/loader.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (arguments.size() < 3) {
        out << "usage: moravik_open_documents FOLDER NAME...\n";
        return 2;
    }
    const QDir folder(arguments.at(1));
    bool allOpened = true;
    for (const QString& name : arguments.mid(2)) {
        const moravik::rtf::LoadResult result = moravik::rtf::loadDocument(folder.filePath(name));
        const auto* document = std::get_if<std::unique_ptr<QTextDocument>>(&result);
        if (!document) {
            out << name << ": " << std::get<moravik::rtf::LoadFailure>(result).reason << '\n';
            allOpened = false;
        } else if ((*document)->isEmpty()) {
            out << name << ": opened but holds no text\n";
            allOpened = false;
        } else {
            out << name << ": opened, " << (*document)->characterCount() << " characters\n";
        }
    }
    return allOpened ? 0 : 1;
}
