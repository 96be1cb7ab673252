#include "run/info_window.h"

#include "app/clock.h"
#include "app/program.h"

namespace tonvirke {

namespace {

struct InfoLine {
  int number;
  int y;
  const char16_t* text;
};

const InfoLine kInfoLines[] = {
    {55, 70, u"Följande morsetecken hanteras av programmet."},
    {56, 100,
     u"A .-   B -...   C -.-.   D -..   E .     F ..-.   G --.   H ....   I ..   J .---   K -.-   "
     u"L .-..   M --   N -.   O ---   P .--."},
    {57, 120,
     u"Q --.-   R .-.   S ...   T -   U ..-   V ...-   W .--   X -..-   Y -.--   Z --..   "
     u"Å .--.-   Ä .-.-   Ö ---.   @ .--.-."},
    {58, 140,
     u"1 .----   2 ..---   3 ...--   4 ....-    5 .....   6 -....   7 --...   8 ---..   "
     u"9 ----.   0 -----"},
    {59, 160,
     u"(.) .-.-.-   (,) --..--   (-) -....-   (=) -...-   (+) .-.-.   (*) ...-.-   (/) -..-.   "
     u"(?) ..--.."},
    {60, 190, u"För att styra en sändare används pin 4 och pin 5 i det seriella uttaget."},
    {61, 210,
     u"Pin 5 är jord och pin 4 är DTR. DTR sätts hög när ett tecken skall sändas och lite "
     u"beroende på ditt "},
    {62, 230,
     u"RS-232 kort kan antal volt skilja. Du behöver förmodligen en diod för att hantera den "
     u"positiva delen"},
    {63, 250,
     u"av signalen. Din nycklingsenhet bygger du runt en lite kraftigare transistor, inga "
     u"konstigheter där!"},
    {64, 270, u"Lämna fältet för kommunikationsporten tomt om du inte vill nyckla via den!"},
};

}  // namespace

void ShowInfoWindow(Program& p) {
  WindowSystem& w = p.fx.windows;
  w.OpenWindow(kInfoWindow, {0, 0, 600, 600},
               QStringLiteral("Tonvirke version 053") + QString(90, QLatin1Char(' ')));
  w.CreateLabel(54, {230, 30, 300, 30}, QStringLiteral("Information"), false);
  w.SetFont(54, 3);
  w.SetTextColour(54, {100, 100, 255});
  for (const InfoLine& line : kInfoLines) {
    w.CreateLabel(line.number, {40, line.y, 550, 20}, QString::fromUtf16(line.text), false);
  }
  w.CreateLabel(65, {40, 400, 550, 20}, QString(), false);
  w.SetFont(65, 1);
  w.SetTextColour(65, {100, 100, 100});
  w.CreateButton(66, {250, 550, 100, 20}, QStringLiteral("Avsluta Info"));
  for (;;) {
    UpdateClock(p);
    if (w.NextEvent() == EventCode::Control && w.LastEventControl() == 66) break;
  }
  w.CloseWindow(kInfoWindow);
  p.fx.surface.EndDrawing();
  RebuildMainScreen(p);
}

}  // namespace tonvirke
