#include "project/Languages.h"

namespace kelbo {

const std::vector<LanguageChoice>& commonLanguages() {
    static const std::vector<LanguageChoice> languages = {
        {0x0409, "English (United States)"},
        {0x0809, "English (United Kingdom)"},
        {0x0407, "German (Germany)"},
        {0x0807, "German (Switzerland)"},
        {0x040C, "French (France)"},
        {0x0C0C, "French (Canada)"},
        {0x0410, "Italian (Italy)"},
        {0x0C0A, "Spanish (Spain)"},
        {0x080A, "Spanish (Mexico)"},
        {0x0416, "Portuguese (Brazil)"},
        {0x0816, "Portuguese (Portugal)"},
        {0x0413, "Dutch (Netherlands)"},
        {0x041D, "Swedish (Sweden)"},
        {0x0406, "Danish (Denmark)"},
        {0x0414, "Norwegian, Bokm\u00E5l (Norway)"},
        {0x040B, "Finnish (Finland)"},
        {0x0405, "Czech (Czech Republic)"},
        {0x0415, "Polish (Poland)"},
        {0x040E, "Hungarian (Hungary)"},
        {0x0419, "Russian (Russia)"},
        {0x0422, "Ukrainian (Ukraine)"},
        {0x0408, "Greek (Greece)"},
        {0x041F, "Turkish (Turkey)"},
        {0x040D, "Hebrew (Israel)"},
        {0x0401, "Arabic (Saudi Arabia)"},
        {0x0411, "Japanese (Japan)"},
        {0x0412, "Korean (Korea)"},
        {0x0804, "Chinese (Simplified, PRC)"},
        {0x0404, "Chinese (Traditional, Taiwan)"},
        {0x041E, "Thai (Thailand)"},
        {0x042A, "Vietnamese (Vietnam)"},
        {0x0402, "Bulgarian (Bulgaria)"},
        {0x041A, "Croatian (Croatia)"},
        {0x081A, "Serbian (Latin, Serbia)"},
        {0x0C1A, "Serbian (Cyrillic, Serbia)"},
        {0x041B, "Slovak (Slovakia)"},
        {0x0424, "Slovenian (Slovenia)"},
        {0x0418, "Romanian (Romania)"},
        {0x0425, "Estonian (Estonia)"},
        {0x0426, "Latvian (Latvia)"},
        {0x0427, "Lithuanian (Lithuania)"},
        {0x0403, "Catalan (Catalan)"},
        {0x0429, "Persian (Iran)"},
        {0x0439, "Hindi (India)"},
        {0x0421, "Indonesian (Indonesia)"},
        {0x0C04, "Chinese (Traditional, Hong Kong)"},
        {0x0000, "Neutral"},
    };
    return languages;
}

std::string languageName(LanguageId language) {
    for (const LanguageChoice& choice : commonLanguages())
        if (choice.id == language)
            return choice.name;
    return {};
}

std::string languageCaption(LanguageId language) {
    std::string name = languageName(language);
    if (name.empty())
        name = "Other language";
    return name + " [" + languageHex(language) + "]";
}

} // namespace kelbo
