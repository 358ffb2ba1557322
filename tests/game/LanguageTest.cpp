// The game in both languages: the Russian texts exactly as they stand, the English ones in
// the same places, and the English pictures found where the data has them.
#include "MainFormFixture.h"

#include <filesystem>

#include "game/Unit1.h"
#include "game/Unit2.h"
#include "game/texts/Texts.h"
#include "platform/Language.h"

using platform::TLanguage;
using texts::TextId;

namespace {

bool HasCyrillic(const std::string& s) {
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        if ((a == 0xD0 || a == 0xD1) && b >= 0x80 && b <= 0xBF) return true;
    }
    return false;
}

}  // namespace

TEST(Texts, TheGamesRussianTextsStandAsTheyAreAndEveryTextHasItsEnglish) {
    const std::pair<TextId, const char*> russian[] = {
        {TextId::MainCaption, "Starbreaker По - русски !"},
        {TextId::LoadingCaption, "Loading..."},
        {TextId::ResultCaption, "Form2"},
        {TextId::ResultScoreLabel, "Ваш результат:"},
        {TextId::ResultDefaultName, "Игрок"},
        {TextId::MissingFile, "Файл не найден: %s . Не могу запустиься без него."},
        {TextId::ScoreTampered, "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру"},
        {TextId::SetupTitle, "Starbreaker — настройка"},
        {TextId::SetupHint, "↑↓ — выбор, ←→ — изменить, Enter — клавиши и действия, Esc — выход"},
    };
    for (const auto& [id, text] : russian) EXPECT_EQ(texts::Get(id, TLanguage::Ru), text);

    // The language row names itself in both languages; nothing else in English is Russian.
    for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
        const auto id = static_cast<TextId>(i);
        const std::string en = texts::Get(id, TLanguage::En);
        EXPECT_FALSE(en.empty()) << i;
        EXPECT_FALSE(texts::Get(id, TLanguage::Ru).empty()) << i;
        if (id != TextId::SetupLanguage && id != TextId::SetupRussian) { EXPECT_FALSE(HasCyrillic(en)) << en; }
    }

    platform::LanguageScope english(TLanguage::En);
    EXPECT_EQ(texts::Format(TextId::MissingFile, {"data\\all_mp3\\music.mp3"}),
              "File not found: data\\all_mp3\\music.mp3. The game cannot start without it.");
    EXPECT_EQ(texts::Format(TextId::SetupKeyReserved, {"Esc", "pause"}), "“Esc” belongs to the game: pause");
}

TEST_F(MainFormFixture, InRussianTheWindowsCarryTheGamesOwnTexts) {
    Create();
    EXPECT_EQ(main->Caption(), "Starbreaker По - русски !");
    EXPECT_EQ(form1->Caption(), "Loading...");
    EXPECT_EQ(form2->Label1Caption, "Ваш результат:");
    EXPECT_EQ(form2->Edit1Text, "Игрок");
}

TEST_F(MainFormFixture, InEnglishTheMessagesAndTheResultWindowAreEnglish) {
    platform::LanguageScope english(TLanguage::En);
    // Required, never loaded; missing in both languages.
    std::filesystem::remove(dir / "data/all_jpg/au1x.jpg");
    std::filesystem::remove(dir / "data/en/all_jpg/au1x.jpg");
    std::string t = EmptyTable();
    t.replace(t.find("0\r\n"), 1, "7");
    WriteFile("data/all_qrx/res.qrx", t);
    Create();
    EXPECT_EQ(main->Caption(), "Starbreaker");
    main->Show();  // the start-up
    Application().ProcessMessages();
    std::vector<std::string> shown;
    for (const auto& b : fake.Windows.MessageBoxes()) shown.push_back(b.Text);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "File not found: data\\all_jpg\\au1x.jpg. The game cannot start without it.",
                         "Someone has tampered with the scores. Reset them with the set-up tool and start the game "
                         "again."}));
    EXPECT_EQ(form2->Label1Caption, "Your score:");
    EXPECT_EQ(form2->Edit1Text, "Player");
}

// The start-up checks and loads the game's own names; in English they land on the English
// pictures, and on the game's own where an English one is missing, never on a new failure.
TEST_F(MainFormFixture, InEnglishTheEnglishPicturesAreLoadedAndAMissingOneFallsBack) {
    ASSERT_TRUE(std::filesystem::exists(dir / "data/en/all_jpg/rm1x.jpg"));
    WriteFile("data/all_jpg/rm1x.jpg", "not a picture");  // the Russian one would fail to load
    std::filesystem::remove(dir / "data/en/all_jpg/rb2x.jpg");
    std::filesystem::remove_all(dir / "data/en/all_bmp");
    platform::LanguageScope english(TLanguage::En);
    Boot();
    EXPECT_TRUE(fake.Windows.MessageBoxes().empty());
    ASSERT_FALSE(Application().Terminated());
    for (const char* name : {"rm1", "rb2", "panel1", "Au1", "read"})
        EXPECT_GT(main->ImageList->Items().Find(name)->Width(), 0) << name;
}
