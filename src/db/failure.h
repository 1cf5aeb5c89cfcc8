#pragma once

#include "db/result.h"

#include <QString>
#include <QStringList>

class QSqlError;

// A failure in words the office reads: its own first line (what failed),
// one short Indonesian line naming the cause, and the engine's own text
// after "Detail:". Screens join the lines with carriage returns, as their
// messages separate lines; the tool prints them one to a line.
namespace pel::db {

// The short line that names a cause, such as "Sebab: disk penuh.".
QString causeLine(Cause cause);

// The lines that follow a failure's first line: the cause (naming the
// server when the connection to it was lost), then "Detail: " and the
// engine's text (left out when there is none).
QStringList failureLines(const Result &result);

// first (a screen's own first line), then the failure's own first line when
// it has one, then its lines, joined by carriage returns.
QString failureMessage(const QString &first, const Result &result);
// The failure's own first line (result.about), then its lines.
QString failureMessage(const Result &result);

// True when error tells that the connection to the server is gone: the
// server's state codes of class 08 and 57P01..57P03 (shut down, or this
// session ended), or libpq's words for a closed connection, which carry no
// code.
bool connectionGone(const QSqlError &error);

} // namespace pel::db
