#include "ToolRunner.h"
#include "TestEnv.h"

#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

int runTool(const QStringList& arguments, QString* output, bool asAnotherUser, const QString& program) {
    QProcess process;
    const passwd* nobody = ::getpwnam("nobody");
    if (asAnotherUser && ::geteuid() == 0 && nobody)
        process.setChildProcessModifier([uid = nobody->pw_uid, gid = nobody->pw_gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(127);
        });
    process.start(builtProgram(program), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
