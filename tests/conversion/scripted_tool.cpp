// A console program that prints what its arguments say, for exercising the tool
// runner. Each argument is one step, done in order:
//   out:TEXT   write TEXT to standard output in one write (\n, \r, \0, \\ escapes)
//   err:TEXT   the same on standard error
//   sleep:MS   wait MS milliseconds
//   lines:N    write N progress lines in a burst, one write each
//   exit:N     end with exit status N (the default is 0)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string unescaped(const char* text)
{
    std::string result;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '\\' || p[1] == '\0') {
            result += *p;
            continue;
        }
        switch (*++p) {
        case 'n': result += '\n'; break;
        case 'r': result += '\r'; break;
        case '0': result += '\0'; break;
        default: result += *p; break;
        }
    }
    return result;
}

void write_to(DWORD stream, const std::string& bytes)
{
    DWORD written;
    WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void write_lines(int count)
{
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%6d/%6d (%2d%%)|\n", i, count, i * 100 / count);
        write_to(STD_OUTPUT_HANDLE, line);
    }
}

bool starts_with(const char* text, const char* prefix, const char** rest)
{
    const std::size_t length = std::char_traits<char>::length(prefix);
    if (std::char_traits<char>::compare(text, prefix, length) != 0)
        return false;
    *rest = text + length;
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* value;
        if (starts_with(argv[i], "out:", &value))
            write_to(STD_OUTPUT_HANDLE, unescaped(value));
        else if (starts_with(argv[i], "err:", &value))
            write_to(STD_ERROR_HANDLE, unescaped(value));
        else if (starts_with(argv[i], "sleep:", &value))
            Sleep(std::atoi(value));
        else if (starts_with(argv[i], "lines:", &value))
            write_lines(std::atoi(value));
        else if (starts_with(argv[i], "exit:", &value))
            ExitProcess(static_cast<UINT>(std::atoi(value)));
    }
    return 0;
}
