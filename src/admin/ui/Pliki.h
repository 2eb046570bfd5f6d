#pragma once
// The file list window: the names of the files of one folder that match a
// mask, shown without blocking while a scan or a maintenance command walks
// over them, the current file selected as the walk advances.
#include "data/Checks.h"

#include <QWidget>

class QListWidget;

namespace fenwa::admin {

class TF_Pliki : public QWidget, public data::FileListView {
    Q_OBJECT
public:
    explicit TF_Pliki(QWidget *parent = nullptr);

    // Points the list at a folder on disk: the names (without folder) of its
    // files matching mask, in name order, letter case ignored. A mask holds
    // patterns with ? and * separated by ";"; an empty pattern matches nothing.
    void pointAt(const QString &folder, const QString &mask);
    // Shows a list of names made elsewhere (the table files of the database).
    void setFiles(const QString &folder, const QString &mask, const QStringList &files);
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    // The last folder, mask and list stay between uses.
    QString folder() const { return folder_; }
    QString mask() const { return mask_; }
    QStringList files() const { return files_; }
    int currentIndex() const;
    QListWidget *list() const { return FileListBox1; }

    // The progress of a scan (data::FileListView). An empty caption keeps the
    // window's caption.
    void showFiles(const QString &folder, const QString &mask, const QStringList &files,
                   const QString &caption) override;
    void selectFile(int index) override;
    void hideFiles() override;

    // The names of the files of folder matching mask (see pointAt).
    static QStringList matchingFiles(const QString &folder, const QString &mask);

private:
    QListWidget *FileListBox1;
    QString folder_;
    QString mask_;
    QStringList files_;
};

} // namespace fenwa::admin
