// The desktop's own dialog for message boxes (zenity, on X11 and Wayland alike). It draws the game's
// Japanese with the desktop's fonts, where SDL's X11 box draws with the server's core fonts: on a machine
// that has core fonts without Japanese glyphs that box would show the question as mojibake.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "sdl/sdl_window.h"

extern char** environ;

namespace sdl {

int desktopDialog(const std::string& title, const std::string& text, const char* const* labels, int count,
                  bool error) {
    // Every button is one of ours, in the order given; the first takes Enter. The text is plain text,
    // never markup, so a file name with "<" or "&" in it is shown as it is.
    std::vector<std::string> args = {"zenity", "--question", "--switch", "--no-wrap", "--no-markup",
                                     error ? "--icon-name=dialog-error" : "--icon-name=dialog-information",
                                     "--title=" + title, "--text=" + text};
    for (int i = 0; i < count; ++i) args.push_back(std::string("--extra-button=") + labels[i]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) return kDialogUnavailable;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "zenity", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {  // no zenity on this machine
        close(out[0]);
        return kDialogUnavailable;
    }

    // The dialog prints the label of the button pressed; closed without one, it prints nothing.
    std::string answer;
    char buffer[256];
    for (;;) {
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n > 0) {
            answer.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // A program that could not be started in the child (found, yet not runnable) ends with 127.
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return kDialogUnavailable;
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    for (int i = 0; i < count; ++i)
        if (answer == labels[i]) return i;
    return kDialogClosed;
}

}  // namespace sdl
