#include "screens/setup/TagTeamSelectionSequence.h"

#include "gui/ScreenTiming.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/UnitTeam.h"
#include "net/PacketConverter.h"
#include "net/TcpClient.h"
#include "net/TcpServer.h"

#include <QTimer>

#include <algorithm>
#include <exception>
#include <random>
#include <set>

namespace Marevane {

namespace TagTeams {

namespace {

// An unbiased index below bound from 32-bit draws, so the pairing is the
// same with every standard library.
std::uint32_t Draw(std::mt19937& engine, std::uint32_t bound)
{
    const std::uint32_t limit = static_cast<std::uint32_t>(0xFFFFFFFFull - (0x100000000ull % bound));
    std::uint32_t value = 0;
    do {
        value = static_cast<std::uint32_t>(engine());
    } while (value > limit);
    return value % bound;
}

} // namespace

std::vector<Pair> Form(const std::vector<UnitHash>& order, std::map<UnitHash, UnitHash> choices)
{
    std::vector<Pair> pairs;
    // Players picked by exactly one chooser who had no preference
    // themselves: picked -> chooser, 0 once a second chooser turns up.
    std::map<UnitHash, UnitHash> picked;
    const auto leave = [&choices, &picked](UnitHash a, UnitHash b) {
        for (UnitHash id : {a, b}) {
            choices.erase(id);
            picked.erase(id);
        }
    };

    for (UnitHash u : order) {
        const auto own = choices.find(u);
        if (own == choices.end() || own->second == 0) continue;
        const UnitHash c = own->second;
        const auto other = choices.find(c);
        if (other == choices.end() || c == u) continue;
        if (other->second == u) {
            pairs.emplace_back(u, c);
            leave(u, c);
        } else if (other->second == 0) {
            const auto inserted = picked.emplace(c, u);
            if (!inserted.second) inserted.first->second = 0;
        }
    }

    for (UnitHash u : order) {
        const auto found = picked.find(u);
        if (found == picked.end() || found->second == 0) continue;
        const UnitHash w = found->second;
        if (w == u || choices.count(u) == 0 || choices.count(w) == 0) continue;
        pairs.emplace_back(u, w);
        leave(u, w);
    }

    if (choices.size() > 1) {
        std::vector<UnitHash> rest;
        for (UnitHash u : order) {
            if (choices.count(u) != 0 && std::find(rest.begin(), rest.end(), u) == rest.end())
                rest.push_back(u);
        }
        std::mt19937 engine(5489u);
        for (std::size_t i = rest.size(); i > 1; --i) {
            const std::size_t j = Draw(engine, static_cast<std::uint32_t>(i));
            std::swap(rest[i - 1], rest[j]);
        }
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2) pairs.emplace_back(rest[i], rest[i + 1]);
    }
    return pairs;
}

void FormLocally(const std::vector<CUnit*>& units)
{
    const std::size_t n = units.size();
    const std::size_t half = (n + 1) / 2;
    const auto byId = [&units](std::size_t id) -> CUnit* {
        for (CUnit* unit : units) {
            if (unit != nullptr && unit->GetId() == id) return unit;
        }
        return nullptr;
    };
    for (CUnit* unit : units) {
        if (unit == nullptr || unit->HasTeamMates()) continue;
        std::size_t joined = 0;
        for (std::size_t id = unit->GetId() + 2; id < n && joined < half; id += 2) {
            CUnit* mate = byId(id);
            if (mate == nullptr || mate == unit || mate->HasTeamMates()) continue;
            unit->JoinTeam(*mate);
            ++joined;
        }
    }
}

QString Announcement(const std::vector<QStringList>& teams)
{
    const QString line = QStringLiteral("\n        ");
    QString text = CTagTeamSelectionSequence::tr(
        "All tag teams were formed. the members of each team are as follows:\n");
    for (std::size_t t = 0; t < teams.size(); ++t) {
        text += QStringLiteral("\n    ") + CTagTeamSelectionSequence::tr("Team ") + QString::number(t + 1) +
                QStringLiteral(":") + line;
        const QStringList& names = teams[t];
        for (int i = 0; i < names.size(); ++i) {
            const int before = i > 0 ? names[i - 1].size() : 0;
            // Two names to a line at most; a long pair is split.
            if ((i % 2 == 0 && i != 0) || names[i].size() + before >= 30) text += line;
            text += names[i] + QStringLiteral("    ");
        }
    }
    return text + QStringLiteral("\n\n") + CTagTeamSelectionSequence::tr("It goes on next step....");
}

} // namespace TagTeams

namespace {

constexpr MessageCode ClosedCode = 4;

bool IsLost(MessageCode code)
{
    return code == ClosedCode || code == ReadFailed;
}

bool IsPlaying(const CUnit* unit)
{
    return unit != nullptr && unit->GetUnitType() != UnitWatching;
}

} // namespace

CTagTeamSelectionSequence::CTagTeamSelectionSequence()
    : CSetupSequence(SequenceType::TagTeamSelection, 0x7F), m_requestTimer(new QTimer(this)),
      m_leaveTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("TagTeamSelectionSequence"));
    m_requestTimer->setInterval(ScreenTiming::Scaled(ScreenTiming::FastPoll));
    m_leaveTimer->setSingleShot(true);
    connect(m_requestTimer, &QTimer::timeout, this, &CTagTeamSelectionSequence::WaitForRequest);
    connect(m_leaveTimer, &QTimer::timeout, this, &CTagTeamSelectionSequence::Leave);
}

bool CTagTeamSelectionSequence::IsRequestTimerActive() const
{
    return m_requestTimer->isActive();
}

bool CTagTeamSelectionSequence::IsLeaveTimerActive() const
{
    return m_leaveTimer->isActive();
}

void CTagTeamSelectionSequence::Init()
{
    m_scene = GetSceneSet()->Get<CTagTeamSelectionScene>(SceneSlot::TagTeamSelection);
    m_messageScene = GetSceneSet()->Get(SceneSlot::Message);
    if (m_scene != nullptr) {
        m_scene->SetGameEdit(GetGameEdit());
        m_scene->SetUnitFactory(GetUnitFactory());
        m_scene->SetTcpServer(HasModule(TcpServerModule) ? GetTcpServer() : nullptr);
        m_scene->SetTcpClient(HasModule(TcpClientModule) ? GetModule<TcpClientModule>() : nullptr);
        connect(m_scene, &CTagTeamSelectionScene::ItemSelected, this, [this](UnitHash hash) {
            if (IsServer()) {
                SelectOnServer(hash);
            } else {
                SelectOnClient();
            }
        });
        connect(m_scene, &CTagTeamSelectionScene::Canceled, this, [this] { Update(LostCode); });
    }
    SetInstalled();
}

void CTagTeamSelectionSequence::Start()
{
    ResetLeaving();
    StopTimers();
    m_choices.clear();
    m_state = State::Choosing;
    m_isLeavingBack = false;
    if (m_scene != nullptr) m_scene->CreateItems();
    Show();
    if (GetGameEdit()->GetInfo().TeamCount == 0) {
        FormLocalTeams();
        return;
    }
    if (!IsPlaying(GetMyUnit())) {
        m_state = State::Waiting;
        ShowMessage(tr("Now waiting for the response from the server..."), 0);
        if (IsServer()) RecordServerSides();
    }
    // Polled from the start, so a peer that leaves before this side has
    // chosen is noticed at once and early choices are kept.
    m_requestTimer->start();
}

void CTagTeamSelectionSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) m_scene->GetView()->Show();
    CGameView* messageView = m_messageScene != nullptr ? m_messageScene->GetView() : nullptr;
    if (messageView != nullptr) messageView->Show();
    MessagePane::Show(m_messageScene,
                      tr("Select the member of your team.\n\n") +
                          tr("The member will be decided at random if the player whom you select does not "
                             "hope to team up with you."));
    show();
    if (messageView != nullptr) m_messageScene->AdjustViewPosition(messageView->size());
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->setFocus(Qt::OtherFocusReason);
        if (QWidget* first = m_scene->GetFirstFocus()) first->setFocus(Qt::OtherFocusReason);
    }
}

void CTagTeamSelectionSequence::Hide()
{
    StopTimers();
    CSetupSequence::Hide();
}

bool CTagTeamSelectionSequence::IsServer() const
{
    const CUnit* unit = GetMyUnit();
    return unit == nullptr || unit->GetProfile().OriginFlag != HostClient;
}

void CTagTeamSelectionSequence::FormLocalTeams()
{
    if (m_scene != nullptr) m_scene->SetSelectable(false);
    if (CUnitFactory* factory = GetUnitFactory()) TagTeams::FormLocally(factory->GetUnits());
    Update(TeamsCode);
}

void CTagTeamSelectionSequence::RecordServerSides()
{
    const CUnit* local = GetMyUnit();
    CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr) return;
    for (const CUnit* unit : factory->GetUnits()) {
        if (unit != local && IsPlaying(unit) && unit->GetProfile().OriginFlag == HostServer)
            m_choices.emplace(unit->GetHostId(), 0);
    }
}

void CTagTeamSelectionSequence::SelectOnServer(UnitHash hash)
{
    if (m_state != State::Choosing) return;
    if (const CUnit* local = GetMyUnit()) m_choices[local->GetHostId()] = hash;
    RecordServerSides();
    m_state = State::Waiting;
    ShowMessage(tr("Now waiting for the request from clients..."), 0);
    m_requestTimer->start();
}

void CTagTeamSelectionSequence::SelectOnClient()
{
    if (m_state != State::Choosing) return;
    m_state = State::Waiting;
    ShowMessage(tr("Now waiting for the response from the server..."), 0);
    m_requestTimer->start();
}

void CTagTeamSelectionSequence::WaitForRequest()
{
    // Nothing may leave a timer's slot.
    try {
        if (m_state != State::Choosing && m_state != State::Waiting) {
            m_requestTimer->stop();
            return;
        }
        if (IsServer()) {
            PollClients();
        } else {
            PollServer();
        }
    } catch (const std::exception& error) {
        qWarning("The team choices could not be read: %s", error.what());
        Update(LostCode);
    }
}

void CTagTeamSelectionSequence::PollClients()
{
    CTcpServer* server = GetTcpServer();
    CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr) return;
    for (const CUnit* unit : factory->GetUnits()) {
        if (!IsPlaying(unit) || unit->GetProfile().OriginFlag != HostClient) continue;
        const UnitHash host = unit->GetHostId();
        const MessageCode read = server->ReceiveFrom(host);
        if (read == ReadNothing || read == ReadPartial) continue;
        const MessageCode code = read == ReadFailed ? ReadFailed : server->GetReceivedCode(host);
        if (IsLost(code)) {
            // A player who left can never choose; waiting on would never end.
            Update(LostCode);
            return;
        }
        if (code != TeamsCode) continue;
        // A pick of nobody who can play (an audience, oneself, a stranger) is no preference.
        const UnitHash chosen = server->GetEntryMessage(host).Sender.HostId;
        const CUnit* mate = chosen != 0 ? factory->FindUnitByHost(chosen) : nullptr;
        m_choices[host] = mate != nullptr && mate != unit && IsPlaying(mate) ? chosen : 0;
    }
    if (m_state == State::Waiting && IsEveryChoiceIn()) {
        m_requestTimer->stop();
        FormTeams();
    }
}

void CTagTeamSelectionSequence::PollServer()
{
    CTcpClient* client = GetModule<TcpClientModule>();
    const MessageCode read = client->Receive();
    if (read == ReadNothing || read == ReadPartial) return;
    const MessageCode code = read == ReadFailed ? ReadFailed : client->GetReceivedData().Code;
    if (IsLost(code)) {
        Update(LostCode);
        return;
    }
    if (code == TeamsCode || code == TeamResultCode) {
        const std::vector<UnitProfile>& units = client->GetReceivedMessage().Units;
        const CUnit* local = GetMyUnit();
        const bool hasLocal = std::any_of(units.begin(), units.end(), [local](const UnitProfile& profile) {
            return local != nullptr && profile.HostId == local->GetHostId();
        });
        if (!hasLocal) {
            // Teams without this side cannot be the host's answer to it.
            qWarning("A team result without this side was ignored");
            return;
        }
        m_requestTimer->stop();
        if (CUnitFactory* factory = GetUnitFactory()) factory->CreateUnits(units);
    }
    Update(code);
}

bool CTagTeamSelectionSequence::IsEveryChoiceIn() const
{
    // Only the sides that play choose; an audience never does.
    const CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr) return false;
    std::size_t players = 0;
    for (const CUnit* unit : factory->GetUnits()) {
        if (IsPlaying(unit)) ++players;
    }
    return m_choices.size() >= players;
}

void CTagTeamSelectionSequence::FormTeams()
{
    CUnitFactory* factory = GetUnitFactory();
    std::vector<UnitHash> order;
    for (const CUnit* unit : factory->GetUnits()) order.push_back(unit->GetHostId());
    for (const TagTeams::Pair& pair : TagTeams::Form(order, m_choices)) {
        CUnit* a = factory->FindUnitByHost(pair.first);
        CUnit* b = factory->FindUnitByHost(pair.second);
        if (a != nullptr && b != nullptr && a != b) a->JoinTeam(*b);
    }
    factory->ArrangeUnits();

    EntryMessage message(TeamsCode);
    factory->GetUnitProfiles(message.Units);
    if (!GetTcpServer()->SendToAll(CPacketConverter::GetInstance().Encode(message))) {
        // A client that missed the teams cannot form its fleet with the others.
        Update(LostCode);
        return;
    }
    Update(TeamsCode);
}

void CTagTeamSelectionSequence::Update(MessageCode code)
{
    if (code == TeamsCode || code == TeamResultCode) {
        if (m_state == State::Announced || m_state == State::Failed) return;
        m_state = State::Announced;
        m_requestTimer->stop();
        if (m_scene != nullptr) m_scene->SetSelectable(false);
        Announce();
    } else if (code == LostCode) {
        if (m_state == State::Failed || IsLeaving()) return;
        m_state = State::Failed;
        StopTimers();
        if (m_scene != nullptr) m_scene->SetSelectable(false);
        ResetNetwork();
        if (CUnitFactory* factory = GetUnitFactory()) factory->RemoveWatchingUnits();
        ShowMessage(tr("Network is disconnected unexpectedly.\nIt goes back to previous process...."),
                    ScreenTiming::FailureNotice);
        m_isLeavingBack = true;
        m_leaveTimer->start(ScreenTiming::Scaled(ScreenTiming::FailureNotice));
    }
}

void CTagTeamSelectionSequence::Announce()
{
    std::vector<QStringList> teams;
    if (CUnitFactory* factory = GetUnitFactory()) {
        for (const UnitTeam& team : GroupUnitsByTeam(factory->GetPlayingUnits())) {
            std::vector<const CUnit*> members(team.GetMembers().begin(), team.GetMembers().end());
            std::sort(members.begin(), members.end(),
                      [](const CUnit* a, const CUnit* b) { return a->GetId() < b->GetId(); });
            QStringList names;
            for (const CUnit* member : members) names << QString::fromStdWString(member->GetProfile().Name);
            teams.push_back(names);
        }
    }
    ShowMessage(TagTeams::Announcement(teams), ScreenTiming::LongMessage);
    m_isLeavingBack = false;
    m_leaveTimer->start(ScreenTiming::Scaled(ScreenTiming::LongMessage));
}

void CTagTeamSelectionSequence::ShowMessage(const QString& text, int millisec)
{
    if (m_scene != nullptr) m_scene->ShowMessage(text, millisec);
}

void CTagTeamSelectionSequence::StopTimers()
{
    m_requestTimer->stop();
    m_leaveTimer->stop();
}

void CTagTeamSelectionSequence::Leave()
{
    if (!BeginLeaving()) return;
    if (m_isLeavingBack) {
        ReturnToPrevious();
    } else {
        ReplaceWithSequence(CreateSequence(SequenceType::FleetFormation));
    }
}

} // namespace Marevane
