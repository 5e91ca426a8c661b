#include "core/workbook/StagedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>

StagedFile::StagedFile(const QString &targetPath) : m_targetPath(targetPath) {}

StagedFile::~StagedFile()
{
    if (!m_committed && !m_temporaryPath.isEmpty()) QFile::remove(m_temporaryPath);
}

bool StagedFile::create(QString *error)
{
    const QFileInfo target(m_targetPath);
    // A hidden name beside the target, so the rename stays within one file system.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString candidate =
            target.absolutePath() + QStringLiteral("/.") + target.fileName().left(64) + QLatin1Char('.') +
            QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp");
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_temporaryPath = candidate;
            return true;
        }
        if (file.exists()) continue; // taken by someone else: draw another name
        if (error) *error = file.errorString();
        return false;
    }
    if (error) *error = QStringLiteral("no free temporary file name");
    return false;
}

bool StagedFile::commit(QString *error)
{
    if (m_temporaryPath.isEmpty()) return false;
    if (QFileInfo::exists(m_targetPath))
        QFile::setPermissions(m_temporaryPath, QFile::permissions(m_targetPath));
    // rename() replaces an existing target in one step; QFile::rename() would refuse it.
    if (std::rename(QFile::encodeName(m_temporaryPath).constData(),
                    QFile::encodeName(m_targetPath).constData()) != 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_committed = true;
    return true;
}
