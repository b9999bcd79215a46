#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace {

// A worker that serves requests as the idle loop does, while not paused.
volatile int workerPaused;
volatile int workerQuit;
std::vector<std::string> served;

DWORD WINAPI ServingLoop(LPVOID) {
  while (!workerQuit) {
    Sleep(1);
    if (!workerPaused && request.code != 0) ServeRequest();
  }
  return 0;
}

void RecordCreate(RequestBlock* block) {
  served.push_back("create " + std::to_string(block->id) + " " + block->title + " " +
                   std::to_string(block->width) + "x" + std::to_string(block->height) + " " +
                   std::to_string(block->bits) + " at " + std::to_string(block->x) + "," +
                   std::to_string(block->y) + " zoom " + std::to_string(block->zoom));
  block->result = block->id == 7 ? 1 : 0;
}

void RecordRedraw(RequestBlock* block) { served.push_back("redraw " + std::to_string(block->id)); }

void RecordText(RequestBlock* block) {
  served.push_back("text " + std::to_string(block->id) + " " + std::to_string(block->width));
}

void RecordButtons(RequestBlock* block) {
  served.push_back("buttons " + std::to_string(block->width) + "x" +
                   std::to_string(block->height));
}

class Requests : public ::testing::Test {
 protected:
  void SetUp() override {
    served.clear();
    workerPaused = 0;
    workerQuit = 0;
    quitMessageSeen = 0;
    requestHandlers[RequestCodeCreateImage - 9001] = RecordCreate;
    requestHandlers[RequestCodeRedrawImage - 9001] = RecordRedraw;
    requestHandlers[RequestCodeOpenTextWindow - 9001] = RecordText;
    requestHandlers[RequestCodeOpenButtonBox - 9001] = RecordButtons;
    worker = CreateThread(NULL, 0, ServingLoop, NULL, 0, NULL);
  }
  void TearDown() override {
    workerQuit = 1;
    WaitForSingleObject(worker, 5000);
    CloseHandle(worker);
    for (RequestHandler& handler : requestHandlers) handler = NULL;
    request.code = 0;
    request.done = 1;
  }
  HANDLE worker = NULL;
};

}  // namespace

TEST_F(Requests, BackToBackRequestsAreServedInOrder) {
  EXPECT_EQ(0, RequestCreateImage(3, "first", 64, 48, 32));
  EXPECT_EQ(1, RequestCreateImage(7, "second", 16, 8, 8));
  ASSERT_EQ(2u, served.size());
  EXPECT_EQ("create 3 first 64x48 32 at -1,-1 zoom 100", served[0]);
  EXPECT_EQ("create 7 second 16x8 8 at -1,-1 zoom 100", served[1]);
  EXPECT_EQ(0, request.code);
  EXPECT_EQ(1, request.done);
}

TEST_F(Requests, RedrawReturnsAtOnceAndTheNextPosterWaitsForIt) {
  workerPaused = 1;
  RequestRedrawImage(5);
  EXPECT_EQ(RequestCodeRedrawImage, request.code);  // posted, not yet served
  EXPECT_TRUE(served.empty());
  workerPaused = 0;
  RequestCreateImage(6, "after", 10, 10, 32);
  ASSERT_EQ(2u, served.size());
  EXPECT_EQ("redraw 5", served[0]);
  EXPECT_EQ("create 6 after 10x10 32 at -1,-1 zoom 100", served[1]);
}

TEST_F(Requests, SlotNumbersOf256OrMoreAreRefused) {
  EXPECT_EQ(4, RequestCreateImage(300, "too far", 10, 10, 32));
  EXPECT_EQ(4, RequestCreateImage(256, "too far", 10, 10, 32));
  RequestOpenTextWindow(300);
  EXPECT_TRUE(served.empty());
  RequestOpenTextWindow(255);
  ASSERT_EQ(1u, served.size());
  EXPECT_EQ("text 255 -1", served[0]);
}

TEST_F(Requests, ParametersArriveAsPosted) {
  RequestOpenButtonBox(2, 11);
  ASSERT_EQ(1u, served.size());
  EXPECT_EQ("buttons 2x11", served[0]);
  EXPECT_EQ(0, request.x);
  EXPECT_EQ(0, request.y);
}

TEST_F(Requests, ARequestWithoutOperationCompletesWithResultMinusOne) {
  requestHandlers[RequestCodeLoadImageFile - RequestCodeCreateImage] = NULL;
  EXPECT_EQ(-1, RequestLoadImageFile(1, "nothing.png"));
  EXPECT_EQ(0, request.code);
}

TEST_F(Requests, UnknownCodesAreLeftUntouched) {
  workerPaused = 1;
  request.code = 1234;
  request.done = 0;
  ServeRequest();
  EXPECT_EQ(1234, request.code);
  EXPECT_EQ(0, request.done);
}

TEST_F(Requests, AWaitEndsWhenTheQuitMessageArrives) {
  workerPaused = 1;  // nobody will serve it, as after the worker was terminated by Exit
  PostQuitMessage(0);
  RequestOpenInputBox(3);
  EXPECT_EQ(1, quitMessageSeen);
  MSG message;
  EXPECT_EQ(0, GetMessageW(&message, NULL, 0, 0));  // the main loop still sees WM_QUIT
}
