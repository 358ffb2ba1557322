// The game's screens: menus, information pictures, level-complete pair, loading picture.
#include <cmath>
#include <sstream>
#include <string>

#include "tools/gen/Catalogue.h"

namespace gen {

namespace {

const Rgb kCyan = C8(40, 230, 255);
const Rgb kMagenta = C8(255, 60, 200);
const Rgb kYellow = C8(255, 230, 70);
const Rgb kText = C8(215, 228, 255);
const Rgb kDim = C8(120, 140, 190);
const Rgb kWhite = C8(255, 255, 255);

// Every word the screens carry, in one language.
struct Words {
    std::string MainMenu;
    std::vector<std::string> MainEntries;
    std::string Choose;  // the menus' footer
    std::string Pause;
    std::vector<std::string> PauseEntries;
    std::string PauseNote;
    std::string Genre, NineLevels;
    std::string Scores, ScoresFooter;
    std::string Controls;
    struct ControlRow {
        std::string Action;
        std::vector<std::vector<std::string>> Groups;  // key caps; a group starting with "~" is plain text
        std::vector<std::string> Pad;                  // the pad's buttons, beside the action's name
    };
    std::vector<ControlRow> ControlRows;
    std::string PadHeading, PadText, ControlsFooter;
    std::string About, Story, Goal, Credits, Team, SelfMade, BackFooter;
    std::string Rules, Enemies, BugNote, Bonuses;
    std::vector<std::string> BonusLines;
    std::string Weapons;
    std::vector<std::string> WeaponLines;
    std::string Cleared, Level, WellDone, NextWave1, NextWave2, Tougher, PressEnter;
    std::string Loading;
    std::string NewRecord, EnterName;
};

const Words kRussian{
    "ГЛАВНОЕ МЕНЮ",
    {"Новая игра", "Таблица рекордов", "Управление", "Об игре", "Правила", "Выход"},
    "↑ ↓  выбор      Enter  ввод",
    "ПАУЗА",
    {"Продолжить", "Главное меню", "Выход"},
    "Игра остановлена",
    "космический шутер",
    "Девять уровней. Один пилот.",
    "ТАБЛИЦА РЕКОРДОВ",
    "Enter  в главное меню",
    "УПРАВЛЕНИЕ",
    {
        {"Полёт", {{"W", "A", "S", "D"}, {"←", "↑", "↓", "→"}, {"~цифровой блок:", "8", "4", "2", "6"}}, {"✚", "стик"}},
        {"Огонь", {{"Z"}, {"Пробел"}, {"~или", "*"}, {"~(цифр. блок)"}}, {"A"}},
        {"Спецоружие", {{"X"}, {"Shift"}}, {"X", "B"}},
        {"Следующее спецоружие", {{"Tab"}}, {"LB", "RB", "Y"}},
        {"Выбор оружия", {{"1"}, {"~луч", "2"}, {"~ракеты", "3"}, {"~щит"}}, {}},
        {"Пауза", {{"Esc"}}, {"Start", "Back"}},
        {"Меню", {{"↑", "↓"}, {"~и", "Enter"}}, {"✚", "A", "Start"}},
    },
    "Пульт и джойстик",
    "кнопки пульта — в розовых рамках. Джойстик: ручка ведёт корабль, кнопки 1, 2, 3: огонь, спецоружие и его "
    "смена",
    "Enter  или  A  назад в меню",
    "ОБ ИГРЕ",
    "Далёкий сектор захватила армада чужих кораблей. Ваш истребитель — единственный, кто может прорваться "
    "сквозь их строй.",
    "Девять уровней. Уровень пройден, когда его очки достигают 1000 × номер уровня. Лучшие пилоты попадают в "
    "таблицу рекордов.",
    "Создатели",
    "Программа, графика, звуки и музыка — команда Starbreaker.",
    "Все картинки, звуки и музыку игра создаёт сама при сборке.",
    "Enter  назад в меню",
    "ПРАВИЛА",
    "Враги и очки за них",
    "Зелёного жука пули не берут, а таран стоит очков. Столкновения и вражеские выстрелы отнимают энергию.",
    "Бонусы",
    {"+20 энергии", "+10 лучей", "+20 ракет", "+1 щит"},
    "Оружие",
    {"Пушка: огонь без ограничений", "1  Луч: пробивает врагов насквозь", "2  Ракета: сама находит цель",
     "3  Щит: 5 секунд неуязвимости"},
    "СЕКТОР ЗАЧИЩЕН",
    "УРОВЕНЬ",
    "Отличная работа, пилот!",
    "Следующая волна",
    "уже на подходе",
    "Враги станут сильнее и злее.",
    "Нажмите Enter",
    "Загрузка…",
    "НОВЫЙ РЕКОРД!",
    "Введите своё имя:",
};

const Words kEnglish{
    "MAIN MENU",
    {"New game", "High scores", "Controls", "About", "How to play", "Quit"},
    "↑ ↓  choose      Enter  select",
    "PAUSED",
    {"Resume", "Main menu", "Quit"},
    "The game is on hold",
    "space shooter",
    "Nine levels. One pilot.",
    "HIGH SCORES",
    "Enter  back to the main menu",
    "CONTROLS",
    {
        {"Fly", {{"W", "A", "S", "D"}, {"←", "↑", "↓", "→"}, {"~keypad:", "8", "4", "2", "6"}}, {"✚", "stick"}},
        {"Fire", {{"Z"}, {"Space"}, {"~or", "*"}, {"~(keypad)"}}, {"A"}},
        {"Special weapon", {{"X"}, {"Shift"}}, {"X", "B"}},
        {"Next special weapon", {{"Tab"}}, {"LB", "RB", "Y"}},
        {"Choose a weapon", {{"1"}, {"~beam", "2"}, {"~missiles", "3"}, {"~shield"}}, {}},
        {"Pause", {{"Esc"}}, {"Start", "Back"}},
        {"Menus", {{"↑", "↓"}, {"~and", "Enter"}}, {"✚", "A", "Start"}},
    },
    "Pad and joystick",
    "Pad buttons have pink frames. Joystick: the stick flies the ship, buttons 1, 2, 3 fire, use the special "
    "weapon and switch it",
    "Enter  or  A  back to the menu",
    "ABOUT",
    "An alien armada has seized a distant sector. Your fighter is the only ship that can break through its lines.",
    "Nine levels. A level is cleared when its score reaches 1000 × the level number. The best pilots make the "
    "high-score table.",
    "Credits",
    "Code, art, sounds and music: the Starbreaker team.",
    "The game makes all its pictures, sounds and music itself when it is built.",
    "Enter  back to the menu",
    "HOW TO PLAY",
    "Enemies and their points",
    "Bullets cannot stop the green bug, and ramming it costs points. Collisions and enemy fire drain your energy.",
    "Bonuses",
    {"+20 energy", "+10 beams", "+20 missiles", "+1 shield"},
    "Weapons",
    {"Gun: fires without limit", "1  Beam: pierces every enemy in line", "2  Missile: finds its own target",
     "3  Shield: 5 seconds of invulnerability"},
    "SECTOR CLEARED",
    "LEVEL",
    "Great work, pilot!",
    "The next wave",
    "is on its way",
    "The enemy grows tougher.",
    "Press Enter",
    "Loading…",
    "NEW HIGH SCORE!",
    "Enter your name:",
};

const Words& WordsFor(Lang lang) { return lang == Lang::En ? kEnglish : kRussian; }

const FontSpec kHead{"DejaVu Sans", "Bold", 26};
const FontSpec kBody{"DejaVu Sans", "Book", 15};
const FontSpec kBodyBold{"DejaVu Sans", "Bold", 15};
const FontSpec kSmall{"DejaVu Sans", "Book", 13};
const FontSpec kSmallBold{"DejaVu Sans", "Bold", 13};

// Deep space: a dark gradient, a faint nebula and stars. Never black (rb4 and rb5 are drawn
// with black as their see-through colour) and kept off the blue of the menu's key colour.
Image Space(int w, int h, uint32_t seed, Rgb tint, float nebula = 1) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float t = static_cast<float>(y) / h;
            Rgb base = Mix(C8(10, 12, 34), C8(18, 10, 38), t);
            float n = Fbm(x / 140.f, y / 140.f, seed, 4);
            float k = std::max(0.f, n - 0.45f) * 1.6f * nebula;
            Rgb c = {base.R + tint.R * k * 0.35f, base.G + tint.G * k * 0.35f, base.B + tint.B * k * 0.35f};
            float* p = img.At(x, y);
            p[0] = c.R, p[1] = c.G, p[2] = c.B, p[3] = 1;
        }
    Lcg rng(seed * 7 + 1);
    int count = w * h / 900;
    for (int i = 0; i < count; ++i) {
        float x = rng.Range(0, w), y = rng.Range(0, h), b = rng.Range(0.25f, 1.f);
        float r = rng.Unit() < 0.08f ? 1.3f : 0.7f;
        Rgb c = Mix(C8(170, 190, 255), kWhite, rng.Unit());
        Fill(img, Circle(x, y, r), c, b,
             Box{static_cast<int>(x) - 3, static_cast<int>(y) - 3, static_cast<int>(x) + 4, static_cast<int>(y) + 4});
    }
    return img;
}

void Frame(Image& img, Rgb col, int inset = 8) {
    Sdf box = Ring(RoundBox(inset, inset, img.W - inset, img.H - inset, 14), 1.2f);
    Glow(img, box, col, 10, 0.35f);
    Fill(img, box, Mix(col, kWhite, 0.3f));
}

void Heading(Image& img, int y, const std::string& s, Rgb glowCol = kCyan) {
    TextC(img, kHead, img.W / 2, y, s, kWhite, 0.9f, glowCol);
    int w = TextWidth(kHead, s);
    Fill(img, Capsule(img.W / 2.f - w / 2.f, y + 38.f, img.W / 2.f + w / 2.f, y + 38.f, 1), glowCol, 0.9f);
}

void Footer(Image& img, const std::string& s) { TextC(img, kSmallBold, img.W / 2, img.H - 44, s, kDim); }

// Wrapped text; returns the y below the last line.
int Para(Image& img, const FontSpec& f, int x, int y, int maxW, const std::string& text, Rgb c, int lineH = 0) {
    if (!lineH) lineH = f.Px + 6;
    std::istringstream in(text);
    std::string word, line;
    auto flush = [&] {
        if (!line.empty()) Text(img, f, x, y, line, c);
        y += lineH;
        line.clear();
    };
    while (in >> word) {
        std::string next = line.empty() ? word : line + " " + word;
        if (TextWidth(f, next) > maxW && !line.empty()) {
            flush();
            line = word;
        } else {
            line = next;
        }
    }
    if (!line.empty()) flush();
    return y;
}

FontSpec FitTitle(const std::string& s, int maxW, int px) {
    FontSpec f{"DejaVu Sans", "Bold", px};
    while (TextWidth(f, s) > maxW && f.Px > 10) --f.Px;
    return f;
}

void Planet(Image& img, float cx, float cy, float r, Rgb a, Rgb b, uint32_t seed) {
    Glow(img, Circle(cx, cy, r), Scale(a, 0.8f), r * 0.25f, 0.35f,
         Box{static_cast<int>(cx - r * 1.4f), static_cast<int>(cy - r * 1.4f), static_cast<int>(cx + r * 1.4f),
             static_cast<int>(cy + r * 1.4f)});
    Fill(
        img, Circle(cx, cy, r),
        [=](float x, float y) {
            float dx = (x - cx) / r, dy = (y - cy) / r;
            float light = std::clamp(0.95f - (dx * 0.7f + dy * 0.6f + 0.5f), 0.f, 1.f);
            float band = Fbm(x / (r * 0.35f), y / (r * 0.08f), seed, 3);
            Rgb c = Mix(b, a, band);
            return Scale(c, 0.12f + 0.88f * light);
        },
        1,
        Box{static_cast<int>(cx - r - 2), static_cast<int>(cy - r - 2), static_cast<int>(cx + r + 2),
            static_cast<int>(cy + r + 2)});
}

Image Big(const std::map<std::string, Image>& sprites, const std::string& name, float scale) {
    const Image& s = sprites.at(name);
    return Resized(s, static_cast<int>(s.W * scale), static_cast<int>(s.H * scale));
}

// ---- menus ----

void MenuEntries(Image& img, const std::vector<std::string>& items, int selected, int y0, int step, Rgb accent) {
    FontSpec f{"DejaVu Sans", "Bold", 20};
    for (size_t i = 0; i < items.size(); ++i) {
        int y = y0 + static_cast<int>(i) * step;
        bool on = static_cast<int>(i) + 1 == selected;
        Sdf button = RoundBox(46, y, 354, y + 46, 12);
        Box bb{30, y - 16, 370, y + 62};
        if (on) {
            Glow(img, button, accent, 14, 0.45f, bb);
            Fill(img, button,
                 HGradient(46, Mix(accent, C8(20, 20, 60), 0.35f), 354, Mix(kMagenta, C8(20, 20, 60), 0.45f)), 1, bb);
            Fill(img, Ring(button, 1.3f), kWhite, 1, bb);
            Fill(img, Polygon({{58, y + 14.f}, {72, y + 23.f}, {58, y + 32.f}}), kWhite, 1, bb);
            TextC(img, f, 200, y + 10, items[i], kWhite, 0.5f, kWhite);
        } else {
            Fill(img, button, C8(20, 24, 56), 0.75f, bb);
            Fill(img, Ring(button, 0.8f), C8(70, 90, 160), 1, bb);
            TextC(img, f, 200, y + 10, items[i], C8(160, 180, 230));
        }
    }
}

Image MainMenu(const Words& w, int selected) {
    Image img = Space(400, 600, 11, C8(60, 40, 160));
    Frame(img, kCyan);
    Heading(img, 52, w.MainMenu);
    MenuEntries(img, w.MainEntries, selected, 140, 64, kCyan);
    Footer(img, w.Choose);
    return img;
}

Image PauseMenu(const Words& w, int selected) {
    Image img = Space(400, 600, 23, C8(150, 40, 120));
    Frame(img, kMagenta);
    Heading(img, 90, w.Pause, kMagenta);
    MenuEntries(img, w.PauseEntries, selected, 210, 74, kMagenta);
    TextC(img, kSmall, 200, 470, w.PauseNote, kDim);
    Footer(img, w.Choose);
    return img;
}

Image TitleFrame(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(400, 600, 5, C8(120, 40, 200), 1.3f);
    Planet(img, 70, 560, 150, C8(90, 140, 255), C8(30, 20, 90), 3);
    Frame(img, kCyan);
    FontSpec title = FitTitle("STARBREAKER", 350, 48);
    TextC(img, title, 200, 86, "STARBREAKER", kWhite, 1.1f, kMagenta);
    Fill(img, Capsule(40, 150, 360, 150, 1.2f), kCyan);
    Glow(img, Capsule(40, 150, 360, 150, 1), kCyan, 8, 0.4f, Box{20, 130, 380, 170});
    TextC(img, FontSpec{"DejaVu Sans", "Book", 18}, 200, 162, w.Genre, kText);
    Image ship = Big(sprites, "player1", 2.4f);
    Paste(img, ship, 200 - ship.W / 2, 250);
    Image ufo = Big(sprites, "ufo1", 1.2f);
    Paste(img, ufo, 300, 420);
    Image hunt = Big(sprites, "hunt1", 1.0f);
    Paste(img, hunt, 250, 470);
    TextC(img, kSmall, 200, 548, w.NineLevels, kDim);
    return img;
}

// ---- score-table backdrop: names at x 100, scores at x 250, rows at y 56 .. 470 ----

Image ScoreBackdrop(const Words& w) {
    Image img = Space(400, 600, 41, C8(40, 80, 160));
    Frame(img, kYellow);
    TextC(img, FontSpec{"DejaVu Sans", "Bold", 19}, 200, 18, w.Scores, kWhite, 0.7f, kYellow);
    FontSpec rank{"DejaVu Sans", "Bold", 18};
    for (int i = 1; i <= 10; ++i) {
        int y = i * 46 + 10;
        Sdf row = RoundBox(24, y - 5, 376, y + 34, 8);
        Box bb{20, y - 8, 380, y + 38};
        Fill(img, row, i % 2 ? C8(22, 28, 70) : C8(16, 20, 52), 0.9f, bb);
        Fill(img, Ring(row, 0.6f), i <= 3 ? C8(200, 170, 60) : C8(60, 75, 140), 1, bb);
        std::string n = std::to_string(i) + ".";
        Text(img, rank, 90 - TextWidth(rank, n), y + 4, n, i <= 3 ? kYellow : kDim);
        Fill(img, Capsule(243, y + 2, 243, y + 28, 0.5f), C8(70, 85, 150), 1, bb);
    }
    Footer(img, w.ScoresFooter);
    return img;
}

// ---- controls ----

int KeyCap(Image& img, int x, int y, const std::string& label) {
    int w = std::max(26, TextWidth(kSmallBold, label) + 14);
    Sdf cap = RoundBox(x, y, x + w, y + 24, 5);
    Box bb{x - 2, y - 2, x + w + 3, y + 27};
    Fill(img, cap, VGradient(y, C8(60, 70, 120), y + 24, C8(25, 30, 60)), 1, bb);
    Fill(img, Ring(cap, 0.7f), kCyan, 1, bb);
    TextC(img, kSmallBold, x + w / 2, y + 4, label, kWhite);
    return w;
}

// A pad button: a pill with a magenta rim, so it reads apart from the keys.
int PadCap(Image& img, int x, int y, const std::string& label) {
    int w = std::max(24, TextWidth(kSmallBold, label) + 12);
    Sdf cap = RoundBox(x, y, x + w, y + 22, 11);
    Box bb{x - 2, y - 2, x + w + 3, y + 25};
    Fill(img, cap, VGradient(y, C8(90, 40, 110), y + 22, C8(40, 15, 55)), 1, bb);
    Fill(img, Ring(cap, 0.8f), kMagenta, 1, bb);
    TextC(img, kSmallBold, x + w / 2, y + 3, label, kWhite);
    return w;
}

int PadCapsWidth(const std::vector<std::string>& caps) {
    int w = 0;
    for (const auto& c : caps) w += std::max(24, TextWidth(kSmallBold, c) + 12) + 4;
    return w;
}

Image Controls(const Words& w) {
    Image img = Space(400, 600, 57, C8(40, 140, 160));
    Frame(img, kCyan);
    Heading(img, 26, w.Controls);
    const FontSpec action{"DejaVu Sans", "Bold", 14};
    const int keysX = 40;
    int y = 80;
    for (const Words::ControlRow& r : w.ControlRows) {
        Text(img, action, 26, y, r.Action, kYellow);
        int px = 376 - PadCapsWidth(r.Pad);
        for (const auto& b : r.Pad) px += PadCap(img, px, y - 3, b) + 4;
        y += 20;
        int x = keysX;
        for (const auto& g : r.Groups) {
            int need = 0;
            for (const auto& k : g)
                need += (k[0] == '~' ? TextWidth(kSmall, k.substr(1)) + 6
                                     : std::max(26, TextWidth(kSmallBold, k) + 14) + 4);
            if (x + need > 376 && x > keysX) {
                x = keysX;
                y += 29;
            }
            for (const auto& k : g) {
                if (k[0] == '~') {
                    x += Text(img, kSmall, x, y + 4, k.substr(1), kText) + 6;
                } else {
                    x += KeyCap(img, x, y, k) + 4;
                }
            }
            x += 10;
        }
        y += 33;
    }
    Text(img, action, 26, y, w.PadHeading, kYellow);
    Para(img, kSmall, keysX, y + 20, 330, w.PadText, kText, 18);
    Footer(img, w.ControlsFooter);
    return img;
}

// ---- about ----

Image About(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(400, 600, 67, C8(150, 60, 220), 1.2f);
    Frame(img, kMagenta);
    Heading(img, 26, w.About, kMagenta);
    FontSpec title = FitTitle("STARBREAKER", 300, 36);
    TextC(img, title, 200, 88, "STARBREAKER", kWhite, 1.0f, kCyan);
    Image ship = Big(sprites, "player2", 1.2f);
    Paste(img, ship, 200 - ship.W / 2, 136);
    int y = 222;
    y = Para(img, kBody, 30, y, 340, w.Story, kText);
    y += 8;
    y = Para(img, kBody, 30, y, 340, w.Goal, kText);
    y += 14;
    Fill(img, Capsule(60, y, 340, y, 0.8f), kMagenta, 0.8f);
    y += 14;
    TextC(img, kBodyBold, 200, y, w.Credits, kYellow);
    y += 26;
    y = Para(img, kSmall, 30, y, 340, w.Team, kText, 19);
    y = Para(img, kSmall, 30, y, 340, w.SelfMade, kText, 19);
    Footer(img, w.BackFooter);
    return img;
}

// ---- rules: enemies with their points, bonuses, weapons ----

Image Rules(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(400, 600, 79, C8(60, 160, 110));
    Frame(img, kCyan);
    Heading(img, 18, w.Rules);
    int y = 72;
    TextC(img, kBodyBold, 200, y, w.Enemies, kYellow);
    y += 24;
    struct E {
        const char* Pic;
        const char* Pts;
    };
    const E enemies[] = {{"ufo1", "+1"},   {"nex1", "+2"},   {"disp1", "+5"}, {"bss1", "+10"},
                         {"sdsa1", "+15"}, {"hunt1", "+10"}, {"bug1", "−15"}, {"gad1", "−15"}};
    for (int i = 0; i < 8; ++i) {
        int col = i % 4, row = i / 4;
        int x = 22 + col * 92, yy = y + row * 46;
        Image icon = Big(sprites, enemies[i].Pic, 0.62f);
        Paste(img, icon, x, yy + 4);
        bool bad = enemies[i].Pts[0] != '+';
        Text(img, kBodyBold, x + icon.W + 4, yy + 10, enemies[i].Pts, bad ? C8(255, 110, 110) : C8(140, 255, 160));
    }
    y += 96;
    y = Para(img, kSmall, 26, y, 350, w.BugNote, kText, 17);
    y += 8;
    TextC(img, kBodyBold, 200, y, w.Bonuses, kYellow);
    y += 24;
    for (int i = 0; i < 4; ++i) {
        int x = 26 + (i % 2) * 180, yy = y + (i / 2) * 34;
        Image icon = Big(sprites, "bon" + std::to_string(i + 1) + "1", 0.85f);
        Paste(img, icon, x, yy);
        Text(img, kSmallBold, x + icon.W + 8, yy + 6, w.BonusLines[static_cast<size_t>(i)], kText);
    }
    y += 76;
    TextC(img, kBodyBold, 200, y, w.Weapons, kYellow);
    y += 24;
    const char* weaponPics[] = {"pula1", "pus1", "pus2", "bon41"};
    for (size_t i = 0; i < std::size(weaponPics); ++i) {
        const Image& s = sprites.at(weaponPics[i]);
        float k = std::min(40.f / s.W, 16.f / s.H);
        Image icon = Resized(s, std::max(1, static_cast<int>(s.W * k)), std::max(1, static_cast<int>(s.H * k)));
        Paste(img, icon, 26 + (40 - icon.W) / 2, y + 9 - icon.H / 2);
        Text(img, kSmall, 74, y, w.WeaponLines[i], kText);
        y += 22;
    }
    Footer(img, w.BackFooter);
    return img;
}

// ---- level complete: the level number is written at (245, 270) on the left half ----

Image LevelLeft(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(400, 600, 97, C8(200, 120, 40));
    Frame(img, kYellow);
    TextC(img, FitTitle(w.Cleared, 340, 30), 200, 120, w.Cleared, kWhite, 1.0f, kYellow);
    Fill(img, Capsule(50, 170, 350, 170, 1), kYellow, 0.9f);
    FontSpec lvl{"DejaVu Sans", "Bold", 30};
    Text(img, lvl, 224 - TextWidth(lvl, w.Level), 292, w.Level, kWhite, 0.6f, kCyan);
    // The window for the number: dark, framed, nothing drawn inside.
    Sdf box = RoundBox(234, 258, 372, 352, 12);
    Fill(img, box, C8(14, 16, 40));
    Glow(img, Ring(box, 1), kYellow, 8, 0.4f, Box{220, 244, 386, 366});
    Fill(img, Ring(box, 1.2f), kYellow, 1, Box{228, 252, 378, 358});
    TextC(img, kBody, 200, 400, w.WellDone, kText);
    // A medal for the pilot.
    std::vector<std::pair<float, float>> star;
    for (int i = 0; i < 10; ++i) {
        float a = -1.5707963f + i * 0.6283185f, r = i % 2 ? 17.f : 40.f;
        star.push_back({200 + r * std::cos(a), 490 + r * std::sin(a)});
    }
    Glow(img, Polygon(star), kYellow, 16, 0.45f, Box{130, 420, 270, 560});
    Fill(img, Polygon(star), VGradient(450, C8(255, 250, 190), 530, C8(230, 150, 20)), 1, Box{150, 440, 250, 540});
    Fill(img, Ring(Circle(200, 490, 56), 1.2f), kYellow, 0.8f, Box{130, 420, 270, 560});
    (void)sprites;
    return img;
}

Image LevelRight(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(400, 600, 101, C8(200, 120, 40));
    Planet(img, 330, 110, 90, C8(255, 170, 90), C8(120, 40, 30), 9);
    Frame(img, kYellow);
    TextC(img, FontSpec{"DejaVu Sans", "Bold", 24}, 200, 230, w.NextWave1, kWhite, 0.8f, kYellow);
    TextC(img, FontSpec{"DejaVu Sans", "Bold", 24}, 200, 262, w.NextWave2, kWhite, 0.8f, kYellow);
    TextC(img, kBody, 200, 312, w.Tougher, kText);
    Image ship = Big(sprites, "player3", 1.5f);
    Paste(img, ship, 200 - ship.W / 2, 360);
    TextC(img, FontSpec{"DejaVu Sans", "Bold", 20}, 200, 500, w.PressEnter, kYellow, 0.7f, kYellow);
    return img;
}

// ---- loading picture (the progress bar sits at 16, 448, 609 × 17 over it) ----

Image Intro(const Words& w, const std::map<std::string, Image>& sprites) {
    Image img = Space(637, 477, 131, C8(120, 50, 220), 1.4f);
    Planet(img, 540, 330, 150, C8(90, 150, 255), C8(40, 20, 100), 13);
    Image ship = Big(sprites, "player1", 2.2f);
    Paste(img, ship, 90, 210);
    Paste(img, Big(sprites, "ufo1", 1.3f), 420, 170);
    Paste(img, Big(sprites, "nex1", 1.0f), 480, 250);
    Paste(img, sprites.at("pula1"), 330, 216);
    Paste(img, sprites.at("pula1"), 390, 216);
    FontSpec title = FitTitle("STARBREAKER", 560, 64);
    TextC(img, title, 318, 48, "STARBREAKER", kWhite, 1.2f, kMagenta);
    Fill(img, Capsule(90, 134, 547, 134, 1.3f), kCyan);
    Glow(img, Capsule(90, 134, 547, 134, 1), kCyan, 10, 0.4f, Box{60, 110, 580, 160});
    TextC(img, FontSpec{"DejaVu Sans", "Book", 20}, 318, 146, w.Genre, kText);
    TextC(img, kBodyBold, 318, 418, w.Loading, kText, 0.4f, kCyan);
    Fill(img, RoundBox(10, 443, 627, 470, 5), C8(12, 14, 34), 0.9f);
    Fill(img, Ring(RoundBox(10, 443, 627, 470, 5), 0.8f), C8(70, 100, 180));
    return img;
}

// ---- result window (300 × 150): name box at (40, 88), captions at y 128, OK at (248, 120) ----

Image ResultBackground(const Words& w) {
    Image img = Space(300, 150, 151, C8(160, 60, 200));
    Sdf edge = Ring(RoundBox(3, 3, 297, 147, 10), 1);
    Glow(img, edge, kMagenta, 6, 0.35f);
    Fill(img, edge, Mix(kMagenta, kWhite, 0.3f));
    TextC(img, FitTitle(w.NewRecord, 280, 24), 150, 10, w.NewRecord, kWhite, 0.9f, kYellow);
    Text(img, kSmallBold, 40, 66, w.EnterName, kText);
    // A light plate under the caption and the score so that window text in the usual dark
    // colour reads on it.
    Fill(img, RoundBox(4, 122, 242, 148, 6), VGradient(122, C8(205, 222, 250), 148, C8(160, 185, 235)));
    return img;
}

}  // namespace

std::vector<Picture> MakeScreens(const std::map<std::string, Image>& sprites, Lang lang) {
    const Words& w = WordsFor(lang);
    std::vector<Picture> out;
    auto add = [&](std::string name, std::string file, Image img) {
        out.push_back(
            {std::move(name), file.empty() ? "" : LangFolder(lang) + "all_jpg/" + file + ".jpg", std::move(img), true});
    };
    add("q1", "q1x", TitleFrame(w, sprites));
    for (int n = 1; n <= 6; ++n) add("rm" + std::to_string(n), "rm" + std::to_string(n) + "x", MainMenu(w, n));
    for (int n = 1; n <= 3; ++n) add("rb" + std::to_string(n), "rb" + std::to_string(n) + "x", PauseMenu(w, n));
    add("rb4", "rb4x", ScoreBackdrop(w));
    add("rb5", "rb5x", Controls(w));
    add("au1", "au1x", About(w, sprites));
    add("read", "readx", Rules(w, sprites));
    add("lvl1", "lvl1x", LevelLeft(w, sprites));
    add("lvl2", "lvl2x", LevelRight(w, sprites));
    add("intro", "intro", Intro(w, sprites));
    add("result", "", ResultBackground(w));
    return out;
}

}  // namespace gen
