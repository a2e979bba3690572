#include "question_generator.h"

#include <array>
#include <string_view>

namespace bench {
namespace {

// Frequent characters of quiz texts; each entry is one character in UTF-8.
constexpr std::string_view commonChars =
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处理府研质";
constexpr std::string_view subjects[] = {
    "中华人民共和国", "光合作用", "长江", "黄河流域", "唐朝", "宋代", "明朝", "计算机网络", "细胞膜", "地球自转",
    "牛顿第二定律", "化学反应", "三角形", "二次函数", "孔子", "丝绸之路", "万有引力", "太阳系", "电磁感应", "古诗词",
    "世界卫生组织", "联合国", "青藏高原", "京剧", "四大发明", "十二生肖", "元素周期表", "人工智能", "互联网", "奥林匹克运动会"};
constexpr std::string_view latinWords[] = {
    "CPU", "DNA", "WTO", "GDP", "HTML", "Windows", "Excel", "USB", "WiFi", "NBA", "RNA", "pH", "PM2.5", "CCTV", "APEC"};
constexpr std::string_view openings[] = {
    "下列关于", "以下哪一项属于", "请问", "根据所学知识，", "在我国，", "已知", "历史上，", "一般认为，", "关于", "下面有关"};
constexpr std::string_view endings[] = {
    "的说法，正确的是（  ）", "是什么？", "的是哪一个？", "，对吗？", "的主要原因是（  ）", "。", "？"};
constexpr std::string_view punctuation[] = {"，", "、", "；", "：", "“", "”", "（", "）"};

std::size_t codePoints(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

QuestionGenerator::QuestionGenerator(std::uint64_t seed) : state_(seed) {}

std::uint64_t QuestionGenerator::random() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string QuestionGenerator::next() {
    // Lengths spread evenly between the bounds, the text built from an opening, a subject, body
    // characters with now and then a Latin word, a number or punctuation, and an ending.
    const std::size_t target = minChars + below(maxChars - minChars + 1);
    const std::string_view opening = openings[below(std::size(openings))];
    const std::string_view ending = endings[below(std::size(endings))];
    std::string text;
    text.reserve(target * 3 + 16);
    text += opening;
    text += subjects[below(std::size(subjects))];
    std::size_t length = codePoints(text);
    const std::size_t endingLength = codePoints(ending);
    const std::size_t charCount = commonChars.size() / 3;
    while (length + endingLength < target) {
        const std::size_t room = target - endingLength - length;
        const std::size_t pick = below(40);
        std::string_view piece;
        std::string number;
        if (pick == 0) {
            piece = latinWords[below(std::size(latinWords))];
        } else if (pick == 1) {
            number = std::to_string(below(2100));
            piece = number;
        } else if (pick < 5) {
            piece = punctuation[below(std::size(punctuation))];
        } else {
            piece = commonChars.substr(below(charCount) * 3, 3);
        }
        if (codePoints(piece) > room) piece = commonChars.substr(below(charCount) * 3, 3);
        text += piece;
        length += codePoints(piece);
    }
    text += ending;
    return text;
}

std::vector<std::string> QuestionGenerator::make(std::uint64_t seed, std::size_t count) {
    QuestionGenerator generator(seed);
    std::vector<std::string> questions;
    questions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) questions.push_back(generator.next());
    return questions;
}

}  // namespace bench
