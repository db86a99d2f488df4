#include "gui/store/file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace movra {

QString FileChooser::OpenFile(QWidget* parent, const QString& title, const QString& folder,
                              const QString& filter, const QString& fileName) {
    const QString start = fileName.isEmpty() ? folder : QDir(folder).filePath(fileName);
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QStringList FileChooser::OpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                   const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString FileChooser::SaveFile(QWidget* parent, const QString& title, const QString& folder,
                              const QString& filter) {
    // No overwrite question: the commands themselves refuse names that are taken.
    return QFileDialog::getSaveFileName(parent, title, folder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString FileChooser::Folder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start);
}

FileChooser& DefaultFileChooser() {
    static FileChooser chooser;
    return chooser;
}

}  // namespace movra
