// Every fixed delay of the screens in one table, in milliseconds of real
// play. The environment variable MAREVANE_TIME_SCALE multiplies them all
// (0.05 runs the screens at twenty times the speed), so tests can run the
// real screen flow quickly; Scaled() is what timers are given.
#pragma once

class QByteArray;

namespace Marevane::ScreenTiming {

// The screen change: to black, the black pause, back.
inline constexpr int FadeOut = 100;
inline constexpr int BlackPause = 200;
inline constexpr int FadeIn = 100;

// Opacity fade of an item (logos, pages, sinking ships).
inline constexpr int ItemFade = 1500;
// One frame of the effect sprite sheets.
inline constexpr int EffectFrame = 33;
// The battle map's effects: a second (and third) explosion follows the
// first after a stagger; a hit ship shakes; a sunk ship rests before it
// fades; a surprised ship hops; a note floats; a ship or torpedo moves a
// panel per step and rests at the end; a thrown mine flies a panel width
// per step.
inline constexpr int EffectStagger = 150;
inline constexpr int DamageShake = 400;
inline constexpr int SinkingRest = 1000;
inline constexpr int SinkingFade = 500;
inline constexpr int SurpriseHop = 1000;
inline constexpr int NoteFloat = 2000;
inline constexpr int MoveStep = 100;
inline constexpr int MoveRest = 200;
inline constexpr int MineStep = 200;
inline constexpr int MineLanded = 200;

// The command menu's closing sound follows its hiding.
inline constexpr int MenuCloseSound = 40;

// Polls of the connection screens and of the battle's network monitor.
inline constexpr int FastPoll = 50;
inline constexpr int Poll = 100;

// Second view of a set-up screen shown after the first.
inline constexpr int SecondViewDelay = 300;
// Refresh of the end-of-turn prompt.
inline constexpr int PromptRefresh = 500;
// Tick of the timer bar.
inline constexpr int ClockTick = 1000;
// Before creating or sending fleets; a reason shown after its notice.
inline constexpr int ShortPause = 1500;
// Information notices, result lines, the host's next turn.
inline constexpr int Notice = 2000;
// Leaving a screen once its work is done (battle decided, data ready).
inline constexpr int Leave = 2500;
// Failure notices; loading after a confirmation.
inline constexpr int FailureNotice = 3000;
// Leaving after a disconnection or a failed set-up.
inline constexpr int LeaveAfterFailure = 3500;
// Longer messages, the team announcement, the server detection window.
inline constexpr int LongMessage = 5000;
// The arcade stage caption.
inline constexpr int StageCaption = 6000;
// "Network has been disconnected." followed by a reason.
inline constexpr int DisconnectionWithReason = 6500;
// The end-of-turn prompt ends the turn after this.
inline constexpr int TurnEndPrompt = 10000;
// One page of the ending.
inline constexpr int EndingPage = 11000;

// The factor read from MAREVANE_TIME_SCALE on first use.
double Scale();
// A factor as the environment gives it: a positive number, else 1.
double ParseScale(const QByteArray& text);
// Overrides the factor for the rest of the run; a value that is not
// positive brings back the environment's.
void SetScale(double scale);
// ms times the factor, rounded; a positive delay stays at least 1 ms.
int Scaled(int ms);

} // namespace Marevane::ScreenTiming
