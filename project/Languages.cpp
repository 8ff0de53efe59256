#include "project/Languages.h"

namespace kelbo {

const std::vector<LanguageChoice>& commonLanguages() {
    static const std::vector<LanguageChoice> languages = {
        {0x0409, "English (United States)", ""},
        {0x0809, "English (United Kingdom)", ""},
        {0x0407, "German (Germany)", "Deutsch"},
        {0x0807, "German (Switzerland)", "Deutsch"},
        {0x040C, "French (France)", "fran\u00E7ais"},
        {0x0C0C, "French (Canada)", "fran\u00E7ais"},
        {0x0410, "Italian (Italy)", "italiano"},
        {0x0C0A, "Spanish (Spain)", "espa\u00F1ol"},
        {0x080A, "Spanish (Mexico)", "espa\u00F1ol"},
        {0x0416, "Portuguese (Brazil)", "portugu\u00EAs"},
        {0x0816, "Portuguese (Portugal)", "portugu\u00EAs"},
        {0x0413, "Dutch (Netherlands)", "Nederlands"},
        {0x041D, "Swedish (Sweden)", "svenska"},
        {0x0406, "Danish (Denmark)", "dansk"},
        {0x0414, "Norwegian, Bokm\u00E5l (Norway)", "norsk bokm\u00E5l"},
        {0x040B, "Finnish (Finland)", "suomi"},
        {0x0405, "Czech (Czech Republic)", "\u010De\u0161tina"},
        {0x0415, "Polish (Poland)", "polski"},
        {0x040E, "Hungarian (Hungary)", "magyar"},
        {0x0419, "Russian (Russia)", "\u0440\u0443\u0441\u0441\u043A\u0438\u0439"},
        {0x0422, "Ukrainian (Ukraine)",
         "\u0443\u043A\u0440\u0430\u0457\u043D\u0441\u044C\u043A\u0430"},
        {0x0408, "Greek (Greece)", "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
        {0x041F, "Turkish (Turkey)", "T\u00FCrk\u00E7e"},
        {0x040D, "Hebrew (Israel)", "\u05E2\u05D1\u05E8\u05D9\u05EA"},
        {0x0401, "Arabic (Saudi Arabia)", "\u0627\u0644\u0639\u0631\u0628\u064A\u0629"},
        {0x0411, "Japanese (Japan)", "\u65E5\u672C\u8A9E"},
        {0x0412, "Korean (Korea)", "\uD55C\uAD6D\uC5B4"},
        {0x0804, "Chinese (Simplified, PRC)", "\u4E2D\u6587(\u7B80\u4F53)"},
        {0x0404, "Chinese (Traditional, Taiwan)", "\u4E2D\u6587(\u7E41\u9AD4)"},
        {0x041E, "Thai (Thailand)", "\u0E44\u0E17\u0E22"},
        {0x042A, "Vietnamese (Vietnam)", "Ti\u1EBFng Vi\u1EC7t"},
        {0x0402, "Bulgarian (Bulgaria)", "\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438"},
        {0x041A, "Croatian (Croatia)", "hrvatski"},
        {0x081A, "Serbian (Latin, Serbia)", "srpski"},
        {0x0C1A, "Serbian (Cyrillic, Serbia)", "\u0441\u0440\u043F\u0441\u043A\u0438"},
        {0x041B, "Slovak (Slovakia)", "sloven\u010Dina"},
        {0x0424, "Slovenian (Slovenia)", "sloven\u0161\u010Dina"},
        {0x0418, "Romanian (Romania)", "rom\u00E2n\u0103"},
        {0x0425, "Estonian (Estonia)", "eesti"},
        {0x0426, "Latvian (Latvia)", "latvie\u0161u"},
        {0x0427, "Lithuanian (Lithuania)", "lietuvi\u0173"},
        {0x0403, "Catalan (Catalan)", "catal\u00E0"},
        {0x0429, "Persian (Iran)", "\u0641\u0627\u0631\u0633\u06CC"},
        {0x0439, "Hindi (India)", "\u0939\u093F\u0928\u094D\u0926\u0940"},
        {0x0421, "Indonesian (Indonesia)", "Bahasa Indonesia"},
        {0x0C04, "Chinese (Traditional, Hong Kong)", "\u4E2D\u6587(\u9999\u6E2F)"},
        {0x0000, "Neutral", ""},
    };
    return languages;
}

std::string languageName(LanguageId language) {
    for (const LanguageChoice& choice : commonLanguages())
        if (choice.id == language)
            return choice.name;
    return {};
}

std::string languageNativeCaption(LanguageId language) {
    for (const LanguageChoice& choice : commonLanguages())
        if (choice.id == language && !choice.native.empty())
            return choice.name + " \u2013 " + choice.native + " [" + languageHex(language) + "]";
    return languageCaption(language);
}

std::string languageCaption(LanguageId language) {
    std::string name = languageName(language);
    if (name.empty())
        name = "Other language";
    return name + " [" + languageHex(language) + "]";
}

} // namespace kelbo
