/* measure.c - runs one program and reports its wall time, CPU time, peak resident memory and exit
 * status, as one line appended to a result file.
 *
 *   strandel_measure RESULT_FILE PROGRAM [ARG ...]
 *
 * The line reads "WALL_NS USER_US SYS_US MAXRSS_KB STATUS" (STATUS is -1 when the program did not
 * exit normally). The program inherits this process's directory and standard streams.
 *
 * Linux counts the resident memory a child had when it was forked into its peak, so the program
 * is started from this small process rather than from the benchmark runner, whose pages would
 * otherwise show up in every figure. */
#define _GNU_SOURCE
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static volatile sig_atomic_t timed_out = 0;
static pid_t child = 0;

static void on_alarm(int signal_number) {
    (void)signal_number;
    timed_out = 1;
    kill(child, SIGKILL);
}

static long long nanoseconds(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static long long microseconds(struct timeval t) {
    return (long long)t.tv_sec * 1000000LL + t.tv_usec;
}

int main(int argc, char** argv) {
    struct rusage usage;
    struct sigaction alarm_action;
    long long start;
    long long wall;
    int wstatus = 0;
    unsigned limit;
    pid_t reaped;
    FILE* result;
    if (argc < 4 || (limit = (unsigned)strtoul(argv[1], NULL, 10)) == 0) {
        fprintf(stderr, "usage: strandel_measure LIMIT_SECONDS RESULT_FILE PROGRAM [ARG ...]\n");
        return 64;
    }
    memset(&alarm_action, 0, sizeof alarm_action);
    alarm_action.sa_handler = on_alarm;
    sigaction(SIGALRM, &alarm_action, NULL); /* no SA_RESTART: the wait is interrupted */
    start = nanoseconds();
    child = fork();
    if (child < 0) {
        perror("strandel_measure: fork");
        return 70;
    }
    if (child == 0) {
        execvp(argv[3], argv + 3);
        perror("strandel_measure: exec");
        _exit(127);
    }
    alarm(limit);
    while ((reaped = wait4(child, &wstatus, 0, &usage)) < 0 && errno == EINTR) {
    }
    if (reaped != child) {
        perror("strandel_measure: wait4");
        return 70;
    }
    wall = nanoseconds() - start;
    result = fopen(argv[2], "a");
    if (!result) {
        perror("strandel_measure: result file");
        return 73;
    }
    fprintf(result, "%lld %lld %lld %ld %d %d\n", wall, microseconds(usage.ru_utime),
            microseconds(usage.ru_stime), usage.ru_maxrss, WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1,
            (int)timed_out);
    return fclose(result) == 0 ? 0 : 73;
}
