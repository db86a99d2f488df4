#pragma once
// The common file dialogs, behind one small interface so that the commands can be driven in
// tests without a person at the dialogs. The default asks with Qt's dialogs.
#include <QString>
#include <QStringList>

class QWidget;

namespace movra {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Each answers an empty text (or list) when the user cancels. Filters are Qt's
    // ("Name (*.ipx);;Other (*.idx)").
    virtual QString OpenFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter, const QString& fileName = {});
    virtual QStringList OpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& filter);
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter);
    virtual QString Folder(QWidget* parent, const QString& title, const QString& start);
};

// The chooser with Qt's dialogs.
FileChooser& DefaultFileChooser();

}  // namespace movra
