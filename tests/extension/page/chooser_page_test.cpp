#include "extension/chooser_page.h"
#include "page_outline.h"
#include "strict_utf8.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using pagecheck::CssRule;
using pagecheck::Element;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Pair;

namespace
{

const std::string fontStack = "system-ui,-apple-system,\"Segoe UI\",Roboto,\"Helvetica Neue\",Arial,"
                              "\"Noto Sans\",\"Liberation Sans\",sans-serif,\"Apple Color Emoji\","
                              "\"Segoe UI Emoji\",\"Segoe UI Symbol\",\"Noto Color Emoji\"";

std::string readPageFile()
{
    std::ifstream file (TUNEWELL_CHOOSER_PAGE_FILE, std::ios::binary);
    return { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
}

const pagecheck::Document& page()
{
    static const auto document = pagecheck::readDocument (tunewell::chooserPageHtml);
    return document;
}

const Element& onlyChild (const Element& parent, const std::string& tag)
{
    auto found = parent.childrenNamed (tag);
    if (found.size() != 1)
        throw std::runtime_error ("expected one " + tag + " in " + parent.tag);
    return *found.front();
}

std::vector<std::string> scripts()
{
    std::vector<std::string> texts;
    for (auto* script : onlyChild (page().root, "body").childrenNamed ("script"))
        texts.push_back (script->text);
    return texts;
}

} // namespace

TEST (ChooserPageText, IsTheHtmlFileByteForByte)
{
    auto file = readPageFile();
    ASSERT_FALSE (file.empty()) << "could not read " << TUNEWELL_CHOOSER_PAGE_FILE;
    EXPECT_EQ (std::string (tunewell::chooserPageHtml), file);
}

TEST (ChooserPageText, IsValidUtf8SoTheBrowserReceivesItWhole)
{
    EXPECT_TRUE (tunewell::testrig::isStrictUtf8 (tunewell::chooserPageHtml));
}

TEST (ChooserPageDocument, StartsWithALineBreakThenTheHtml5DoctypeAndAnEnglishHtmlElement)
{
    EXPECT_EQ (std::string (tunewell::chooserPageHtml).substr (0, 16), "\n<!DOCTYPE html>");
    EXPECT_EQ (page().doctype, "DOCTYPE html");
    EXPECT_EQ (page().root.tag, "html");
    EXPECT_EQ (page().root.attribute ("lang"), "en");
}

TEST (ChooserPageDocument, HeadHoldsTitleCharsetAndOneStyleSheetInThatOrder)
{
    auto& head = onlyChild (page().root, "head");
    ASSERT_EQ (head.children.size(), 3u);
    EXPECT_EQ (head.children[0].tag, "title");
    EXPECT_EQ (head.children[0].text, "Tunewell");
    EXPECT_EQ (head.children[1].tag, "meta");
    EXPECT_EQ (head.children[1].attribute ("charset"), "utf-8");
    EXPECT_EQ (head.children[2].tag, "style");
}

TEST (ChooserPageDocument, HeaderHoldsTheTitleAndTheCloseButton)
{
    auto& body = onlyChild (page().root, "body");
    ASSERT_FALSE (body.children.empty());
    auto& container = body.children.front();
    EXPECT_EQ (container.tag, "div");
    EXPECT_EQ (container.attribute ("id"), "main-container");

    auto& header = onlyChild (container, "header");
    EXPECT_EQ (header.attribute ("class"), "header-top");
    auto& wrap = onlyChild (header, "div");
    EXPECT_EQ (wrap.attribute ("class"), "header-wrap");
    auto& content = onlyChild (wrap, "div");
    EXPECT_EQ (content.attribute ("class"), "header-content align-bottom");

    ASSERT_EQ (content.children.size(), 2u);
    EXPECT_EQ (content.children[0].attribute ("id"), "list-title");
    EXPECT_EQ (content.children[0].text, "Tunewell");
    EXPECT_EQ (content.children[1].attribute ("id"), "close-window");
    EXPECT_EQ (content.children[1].text, "&times;");
}

TEST (ChooserPageDocument, SongListStartsEmptyBelowTheHeader)
{
    auto& container = onlyChild (page().root, "body").children.front();
    ASSERT_EQ (container.children.size(), 2u);
    EXPECT_EQ (container.children[0].tag, "header");

    auto& pageWrap = container.children[1];
    EXPECT_EQ (pageWrap.tag, "div");
    EXPECT_EQ (pageWrap.attribute ("id"), "top");
    EXPECT_EQ (pageWrap.attribute ("class"), "page-wrap");
    auto& list = onlyChild (pageWrap, "ol");
    EXPECT_EQ (list.attribute ("id"), "songlist");
    EXPECT_TRUE (list.children.empty());
    EXPECT_TRUE (list.text.empty());
}

TEST (ChooserPageDocument, BodyEndsWithExactlyThreeScriptsAfterTheContainer)
{
    auto& body = onlyChild (page().root, "body");
    ASSERT_EQ (body.children.size(), 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ (body.children[i].tag, "script") << "body child " << i;
}

TEST (ChooserPageStyle, RulesAndDeclarationsComeInTheirFixedOrder)
{
    auto rules = pagecheck::readStyleSheet (onlyChild (onlyChild (page().root, "head"), "style").text);
    std::vector<std::string> selectors;
    for (auto& rule : rules)
        selectors.push_back (rule.selector);

    EXPECT_THAT (selectors,
                 ElementsAre ("html", ".header-top", ".header-content", ".page-wrap, .header-wrap", ".page-wrap",
                              "body", "#songlist", "#songlist li", "#songlist li span", "#songlist li.selected",
                              "#songlist li a", "#songlist li a:hover", "#list-title", "#close-window"));
    ASSERT_EQ (rules.size(), 14u);

    EXPECT_THAT (rules[0].declarations, ElementsAre (Pair ("font-family", fontStack), Pair ("overflow-y", "scroll"),
                                                     Pair ("overflow-x", "hidden"), Pair ("height", "100%"),
                                                     Pair ("margin", "0"), Pair ("padding", "0")));
    EXPECT_THAT (rules[1].declarations,
                 ElementsAre (Pair ("background", "#111"), Pair ("position", "fixed"), Pair ("z-index", "1"),
                              Pair ("width", "100%"), Pair ("height", "90px"), Pair ("margin-top", "-100px")));
    EXPECT_THAT (rules[2].declarations, ElementsAre (Pair ("display", "flex"), Pair ("flex-direction", "row"),
                                                     Pair ("align-content", "stretch")));
    EXPECT_THAT (rules[3].declarations, ElementsAre (Pair ("margin", "0 auto"), Pair ("padding", "0 10px")));
    EXPECT_THAT (rules[4].declarations, ElementsAre (Pair ("margin-top", "100px")));
    EXPECT_THAT (rules[5].declarations, ElementsAre (Pair ("height", "100%"), Pair ("margin", "0"),
                                                     Pair ("padding", "0"), Pair ("background", "#222222")));
    EXPECT_THAT (rules[6].declarations, ElementsAre (Pair ("margin", "0 0 0 0"), Pair ("padding", "0")));
    EXPECT_THAT (rules[7].declarations, ElementsAre (Pair ("font-size", "3em"), Pair ("font-weight", "bold"),
                                                     Pair ("background-color", "#000000"), Pair ("color", "#FFFFFF"),
                                                     Pair ("padding", "0 0"), Pair ("text-transform", "none"),
                                                     Pair ("list-style", "none"), Pair ("white-space", "nowrap"),
                                                     Pair ("margin-bottom", "8px"), Pair ("border-radius", "8px")));
    EXPECT_THAT (rules[8].declarations, ElementsAre (Pair ("text-transform", "none"), Pair ("padding-left", "20px"),
                                                     Pair ("color", "#a15050"), Pair ("font-size", "0.8em")));
    EXPECT_THAT (rules[9].declarations,
                 ElementsAre (Pair ("background-color", "rgb(69, 69, 69)"), Pair ("color", "#fff")));
    EXPECT_THAT (rules[10].declarations,
                 ElementsAre (Pair ("width", "100%"), Pair ("height", "1em"), Pair ("color", "#bbb"),
                              Pair ("display", "inline-block"), Pair ("text-align", "left"),
                              Pair ("margin-right", "20px"), Pair ("border-radius", "8px"),
                              Pair ("padding", "0px 16px 20px 16px"), Pair ("vertical-align", "bottom"),
                              Pair ("cursor", "pointer")));
    EXPECT_THAT (rules[11].declarations, ElementsAre (Pair ("color", "#fff")));
    EXPECT_THAT (rules[12].declarations,
                 ElementsAre (Pair ("color", "#fff"), Pair ("font-size", "80px"), Pair ("line-height", "75px"),
                              Pair ("font-family", fontStack), Pair ("flex-grow", "1")));
    EXPECT_THAT (rules[13].declarations,
                 ElementsAre (Pair ("float", "right"), Pair ("font-weight", "bold"), Pair ("font-size", "7em"),
                              Pair ("line-height", "0.6em"), Pair ("color", "#ffffff"),
                              Pair ("background-color", "#444444"), Pair ("padding", "0px 5px 22px 0px"),
                              Pair ("cursor", "pointer"), Pair ("display", "block"), Pair ("margin-right", "0")));
}

// What the scripts do is checked in a real browser; here only that each of the
// three scripts is the one it must be, in its place.
TEST (ChooserPageScripts, FirstHandlesClicksOnSongsAndTheCloseButtonInsideOneFunction)
{
    auto script = scripts().at (0);
    EXPECT_THAT (script, HasSubstr ("(function() {"));
    EXPECT_THAT (script, HasSubstr ("var selSlot = 0;"));
    EXPECT_THAT (script, HasSubstr ("document.body.addEventListener('click'"));
    EXPECT_THAT (script, HasSubstr ("classList.contains('song-select')"));
    EXPECT_THAT (script, HasSubstr ("querySelectorAll('.song-item')"));
    EXPECT_THAT (script, HasSubstr ("parentElement.classList.add('selected')"));
    EXPECT_THAT (script, HasSubstr ("parseInt(target.getAttribute('data-slot'), 10)"));
    EXPECT_THAT (script, HasSubstr ("selectSong(selSlot)"));
    EXPECT_THAT (script, HasSubstr ("target.id === 'close-window'"));
    EXPECT_THAT (script, HasSubstr ("closeSongSelector()"));
    EXPECT_EQ (script.find ("else"), std::string::npos) << "the close test must not be an alternative";
}

TEST (ChooserPageScripts, SecondFillsTheListFromTheNativeMarkupAndThirdDefinesSetSongList)
{
    auto all = scripts();
    ASSERT_EQ (all.size(), 3u);
    EXPECT_THAT (all[1], HasSubstr ("getSongListFromVantor().then("));
    EXPECT_THAT (all[1], HasSubstr ("document.querySelector('#songlist').innerHTML = "));
    EXPECT_THAT (all[2], HasSubstr ("function setSongList(listHtml) {"));
    EXPECT_THAT (all[2], HasSubstr ("document.querySelector('#songlist').innerHTML = listHtml;"));
    EXPECT_THAT (all[2], HasSubstr ("return true;"));
}
