#include "logviewer/clsFrmScrollbook.h"

#include "logviewer/ScrollbookServer.h"
#include "platform/ScrollbookClass.h"

#include <exception>

clsFrmScrollbook::clsFrmScrollbook(ScrollbookServer& server, QObject* parent)
    : QObject(parent)
    , m_server(server)
{
}

bool clsFrmScrollbook::Load(const QString& Filename)
{
    if (Filename.trimmed().isEmpty())
        return false;
    try {
        return m_server.OpenWindow(Filename) != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

void clsFrmScrollbook::LoadLog(const QString& Filename)
{
    if (!Load(Filename) && calledFromDBus())
        sendErrorReply(ScrollbookClass::FailureError, ScrollbookClass::FailureText);
}
