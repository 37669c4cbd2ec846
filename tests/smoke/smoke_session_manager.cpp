// A session manager of the smallest kind, for the smoke checks: runs the command it is given as
// its one client and, on SIGUSR1, asks that client to save for the end of the session, as a
// logout does. It never tells the client to die: the client must end by itself. Its exit status
// is the client's; 2 when something went wrong here or the client did not end in time.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

volatile sig_atomic_t saveAsked = 0;
SmsConn client = nullptr;

void onSaveSignal(int)
{
    saveAsked = 1;
}

Status registerClient(SmsConn connection, SmPointer, char* previousId)
{
    // The reply keeps a copy of the id.
    char* const id = previousId ? previousId : SmsGenerateClientID(connection);
    SmsRegisterClientReply(connection, id);
    if (id != previousId)
        std::free(id);
    client = connection;
    return 1;
}

void interactRequest(SmsConn connection, SmPointer, int) { SmsInteract(connection); }
void interactDone(SmsConn, SmPointer, Bool) { }
void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) { }
void saveYourselfPhase2Request(SmsConn connection, SmPointer) { SmsSaveYourselfPhase2(connection); }
void saveYourselfDone(SmsConn, SmPointer, Bool) { }
void getProperties(SmsConn connection, SmPointer) { SmsReturnProperties(connection, 0, nullptr); }

void closeConnection(SmsConn connection, SmPointer, int count, char** reasons)
{
    SmFreeReasons(count, reasons);
    SmsCleanUp(connection);
    if (connection == client)
        client = nullptr;
}

void setProperties(SmsConn, SmPointer, int count, SmProp** properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char** names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

Status newClient(SmsConn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**)
{
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask
        | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask
        | SmsGetPropertiesProcMask;
    callbacks->register_client = { registerClient, nullptr };
    callbacks->interact_request = { interactRequest, nullptr };
    callbacks->interact_done = { interactDone, nullptr };
    callbacks->save_yourself_request = { saveYourselfRequest, nullptr };
    callbacks->save_yourself_phase2_request = { saveYourselfPhase2Request, nullptr };
    callbacks->save_yourself_done = { saveYourselfDone, nullptr };
    callbacks->close_connection = { closeConnection, nullptr };
    callbacks->set_properties = { setProperties, nullptr };
    callbacks->delete_properties = { deleteProperties, nullptr };
    callbacks->get_properties = { getProperties, nullptr };
    return 1;
}

// Only this user's processes are started with the address; no authentication is asked for.
Bool acceptAnyHost(char*)
{
    return True;
}

// A client that ends without closing its connection is no error here.
void ignoreIOError(IceConn) { }

int fail(const char* what)
{
    std::fprintf(stderr, "smoke_session_manager: %s\n", what);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return fail("usage: smoke_session_manager COMMAND [ARGS...]");
    char error[256] = {};
    if (!SmsInitialize("quobly-smoke", "1.0", newClient, nullptr, acceptAnyHost, sizeof error, error))
        return fail(error);
    struct Listeners {
        int count = 0;
        IceListenObj* objects = nullptr;
        ~Listeners()
        {
            if (objects)
                IceFreeListenObjs(count, objects);
        }
    } listening;
    if (!IceListenForConnections(&listening.count, &listening.objects, sizeof error, error))
        return fail(error);
    const int listenerCount = listening.count;
    IceListenObj* const listeners = listening.objects;
    for (int i = 0; i < listenerCount; ++i)
        IceSetHostBasedAuthProc(listeners[i], acceptAnyHost);
    char* const address = IceComposeNetworkIdList(listenerCount, listeners);
    setenv("SESSION_MANAGER", address, 1);
    std::free(address);
    IceSetIOErrorHandler(ignoreIOError);
    std::signal(SIGUSR1, onSaveSignal);

    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGUSR1, SIG_DFL);
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    std::vector<IceConn> connections;
    bool saveSent = false;
    time_t deadline = 0;
    for (;;) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (saveAsked && !saveSent && client) {
            SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleNone, False);
            saveSent = true;
            deadline = time(nullptr) + 30;
        }
        if (saveSent && time(nullptr) > deadline) {
            kill(child, SIGKILL);
            return fail("the client did not end after the request to save");
        }

        std::vector<pollfd> fds;
        for (int i = 0; i < listenerCount; ++i)
            fds.push_back({ IceGetListenConnectionNumber(listeners[i]), POLLIN, 0 });
        for (IceConn connection : connections)
            fds.push_back({ IceConnectionNumber(connection), POLLIN, 0 });
        // A short wait between looks at the child and the signal flag.
        if (poll(fds.data(), fds.size(), 100) < 0 && errno != EINTR)
            return fail("poll failed");
        for (size_t i = 0; i < connections.size();) {
            if (fds[listenerCount + i].revents & (POLLIN | POLLHUP)
                && IceProcessMessages(connections[i], nullptr, nullptr) != IceProcessMessagesSuccess) {
                IceCloseConnection(connections[i]);
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
                fds.erase(fds.begin() + listenerCount + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            ++i;
        }
        // Connections accepted now are polled from the next look on: each polled one has its entry.
        for (int i = 0; i < listenerCount; ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            IceAcceptStatus accepted;
            if (IceConn connection = IceAcceptConnection(listeners[i], &accepted))
                connections.push_back(connection);
        }
    }
}
