// A client library without fb_interpret (the stand-in built without it, as no
// installed library here lacks it): the error text is read with isc_interprete.
#include "filetable/dm_files.h"
#include "tests/filetable/standin_fbclient/standin_control.h"

#include <gtest/gtest.h>

using namespace tessaldrin;

TEST(OldClientLibraryStandIn, ErrorTextComesFromIscInterpreteWhereFbInterpretIsMissing) {
    standin::Reset();
    filetable::TdmFiles dm(STANDIN_FBCLIENT);
    ListRunLog log;
    standin::FailCall("isc_service_attach", 1, {"first.", "second."});
    EXPECT_FALSE(dm.CheckServer(3050, &log));
    EXPECT_EQ(log.Lines,
              std::vector<std::string>{"Die Verbindung zum InterBase / FireBird-Server konnte "
                                       "nicht hergestellt werden: first.\r\nsecond\r\n"
                                       "Server: localhost, Port 3050 (ohne Antwort wird nach "
                                       "15 Sekunden aufgegeben)"});
    EXPECT_EQ(standin::Interpretations(),
              (std::vector<std::string>{"isc_interprete", "isc_interprete", "isc_interprete"}));
}
