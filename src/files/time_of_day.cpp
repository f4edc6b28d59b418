#include "files/system.hpp"
#include "platform/process.hpp"

Text SysTime() {
    platform::SystemTime now{};
    platform::GetLocalTime(&now);
    const char text[8] = {
        static_cast<char>('0' + now.hour / 10 % 10),
        static_cast<char>('0' + now.hour % 10),
        ':',
        static_cast<char>('0' + now.minute / 10 % 10),
        static_cast<char>('0' + now.minute % 10),
        ':',
        static_cast<char>('0' + now.second / 10 % 10),
        static_cast<char>('0' + now.second % 10),
    };
    return Text(std::string_view(text, sizeof text));
}
