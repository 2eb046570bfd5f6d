#include "admin/ui/Pliki.h"

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QVBoxLayout>

namespace fenwa::admin {

TF_Pliki::TF_Pliki(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("F_Pliki"));
    setWindowTitle(QStringLiteral("Lista plików"));
    setWindowModality(Qt::NonModal);
    auto *layout = new QVBoxLayout(this);
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(FileListBox1);
    resize(320, 360);
}

QStringList TF_Pliki::matchingFiles(const QString &folder, const QString &mask)
{
    QStringList patterns;
    for (const QString &p : mask.split(QLatin1Char(';')))
        if (!p.trimmed().isEmpty())
            patterns << p.trimmed();
    if (patterns.isEmpty())
        return {};
    QDir dir(folder);
    dir.setNameFilters(patterns);
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

void TF_Pliki::pointAt(const QString &folder, const QString &mask)
{
    setFiles(folder, mask, matchingFiles(folder, mask));
}

void TF_Pliki::setFiles(const QString &folder, const QString &mask, const QStringList &files)
{
    folder_ = folder;
    mask_ = mask;
    files_ = files;
    FileListBox1->clear();
    FileListBox1->addItems(files);
}

int TF_Pliki::currentIndex() const { return FileListBox1->currentRow(); }

void TF_Pliki::showFiles(const QString &folder, const QString &mask, const QStringList &files,
                         const QString &caption)
{
    setFiles(folder, mask, files);
    if (!caption.isEmpty())
        setCaption(caption);
    show();
    raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TF_Pliki::selectFile(int index)
{
    if (index < 0 || index >= FileListBox1->count())
        return;
    FileListBox1->setCurrentRow(index);
    FileListBox1->scrollToItem(FileListBox1->item(index));
    // The user sees the walk advance; the scan runs on in this thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TF_Pliki::hideFiles() { hide(); }

} // namespace fenwa::admin
