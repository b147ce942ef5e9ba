/* A Windows stand-in for a Linux tool the tests run (pdftotext, pdffonts, pdfinfo), for the test suite
 * under Wine. Wine starts a Linux program from a Windows one, but does not wait for it and hands
 * it Windows paths; so this program, built as NAME.exe, has scripts/test-windows' helper run
 * the tool NAME with the paths translated, waits until that wrote its output and exit status
 * into files, and passes both on as its own.
 *
 *   x86_64-w64-mingw32-gcc -municode -o pdftotext.exe wine-unix-tool.c -DRUNNER=L"Z:\\...\\run"
 */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static void append(wchar_t* line, size_t size, const wchar_t* argument)
{
    wcsncat(line, L" \"", size - wcslen(line) - 1);
    wcsncat(line, argument, size - wcslen(line) - 1);
    wcsncat(line, L"\"", size - wcslen(line) - 1);
}

static int copyFile(const wchar_t* path, FILE* to)
{
    FILE* from = _wfopen(path, L"rb");
    if (!from)
        return 0;
    char buffer[65536];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, from)) > 0)
        fwrite(buffer, 1, read, to);
    fclose(from);
    return 1;
}

int wmain(int argc, wchar_t** argv)
{
    wchar_t tool[MAX_PATH];
    const wchar_t* name = wcsrchr(argv[0], L'\\');
    wcsncpy(tool, name ? name + 1 : argv[0], MAX_PATH - 1);
    tool[MAX_PATH - 1] = 0;
    wchar_t* dot = wcsrchr(tool, L'.');
    if (dot && _wcsicmp(dot, L".exe") == 0)
        *dot = 0;

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t unique[64];
    swprintf(unique, 64, L"unix-tool-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    wcsncat(folder, unique, MAX_PATH - wcslen(folder) - 1);
    if (!CreateDirectoryW(folder, NULL))
        return 125;

    static wchar_t line[32768];
    line[0] = 0;
    append(line, 32768, RUNNER);
    append(line, 32768, folder);
    append(line, 32768, tool);
    for (int i = 1; i < argc; ++i)
        append(line, 32768, argv[i]);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process;
    if (!CreateProcessW(RUNNER, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 126;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    wchar_t status[MAX_PATH], out[MAX_PATH], err[MAX_PATH];
    swprintf(status, MAX_PATH, L"%ls\\status", folder);
    swprintf(out, MAX_PATH, L"%ls\\out", folder);
    swprintf(err, MAX_PATH, L"%ls\\err", folder);
    int code = 124;
    for (int waited = 0; waited < 120000; waited += 20) {
        FILE* file = _wfopen(status, L"r");
        if (file) {
            if (fscanf(file, "%d", &code) != 1)
                code = 123;
            fclose(file);
            break;
        }
        Sleep(20);
    }
    copyFile(out, stdout);
    copyFile(err, stderr);
    fflush(stdout);
    fflush(stderr);
    DeleteFileW(status);
    DeleteFileW(out);
    DeleteFileW(err);
    RemoveDirectoryW(folder);
    return code;
}
