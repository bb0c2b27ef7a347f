/*
 * Preloaded into Wine's 32-bit loader when it runs under qemu-i386.
 *
 * qemu-user writes -1 into the trap number of every 32-bit signal frame,
 * and Wine's handlers for SIGSEGV, SIGFPE, SIGTRAP and SIGBUS decide on
 * that number: every access violation, the ones Wine itself relies on
 * included, would become an illegal instruction. This wraps each such
 * handler Wine installs and, before calling it, fills the trap number in
 * from the signal's code, as the kernel would have.
 *
 * Built with -ffreestanding and no headers: a machine that cannot execute
 * 32-bit code usually has no 32-bit development headers either, only the
 * i386 C library that Wine's 32-bit part depends on. The layouts below are
 * glibc's for i386.
 */

typedef void (*handler_fn)(int, void *, void *);

struct sigaction_i386 {
    handler_fn handler;
    unsigned long mask[32];
    int flags;
    void (*restorer)(void);
};

extern void *dlsym(void *, const char *);
#define RTLD_NEXT ((void *)-1l)
#define SA_SIGINFO 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SIGNALS 65

/* siginfo_t: si_signo, si_errno, si_code. ucontext_t: uc_flags, uc_link
 * and a three-word stack_t come before the general registers, of which
 * the trap number is the thirteenth. */
#define SI_CODE(info) (((int *)(info))[2])
#define TRAP_NUMBER(context) (((int *)((char *)(context) + 20))[12])

static handler_fn wine_handler[SIGNALS];
static int (*next_sigaction)(int, const struct sigaction_i386 *, struct sigaction_i386 *);

/* The processor's exception vectors, by the signal and its code, as the
 * kernel and qemu give them. */
static int trap_number(int signal, int code)
{
    switch (signal) {
    case SIGSEGV: return code == 0x80 ? 13 : 14;  /* SI_KERNEL: general protection; else a page fault */
    case SIGFPE: return code == 1 ? 0 : code == 2 ? 4 : 16;  /* integer divide, overflow, else x87 */
    case SIGTRAP: return code == 0x80 ? 3 : 1;  /* SI_KERNEL: int3; else the debug exception */
    case SIGBUS: return code == 1 ? 17 : 14;  /* BUS_ADRALN: alignment check; else past a mapping's end */
    }
    return -1;
}

static void filled_in(int signal, void *info, void *context)
{
    /* A code of 0 or less is a signal sent by a process, not a fault. */
    if (TRAP_NUMBER(context) == -1 && SI_CODE(info) > 0)
        TRAP_NUMBER(context) = trap_number(signal, SI_CODE(info));
    wine_handler[signal](signal, info, context);
}

static int is_fault(int signal)
{
    return signal == SIGSEGV || signal == SIGFPE || signal == SIGTRAP || signal == SIGBUS;
}

int sigaction(int signal, const struct sigaction_i386 *action, struct sigaction_i386 *old)
{
    struct sigaction_i386 wrapped;
    handler_fn previous = signal > 0 && signal < SIGNALS ? wine_handler[signal] : 0;
    int result;

    if (!next_sigaction)
        next_sigaction = (int (*)(int, const struct sigaction_i386 *, struct sigaction_i386 *))dlsym(RTLD_NEXT, "sigaction");
    /* Only real handlers that take the context (not SIG_DFL or SIG_IGN). */
    if (action && is_fault(signal) && (action->flags & SA_SIGINFO) && action->handler != filled_in &&
        (unsigned long)action->handler > 1) {
        wrapped = *action;
        wine_handler[signal] = action->handler;
        wrapped.handler = filled_in;
        action = &wrapped;
    }
    result = next_sigaction(signal, action, old);
    /* Whoever asks sees the handler they installed, not the wrapper. */
    if (result == 0 && old && old->handler == filled_in)
        old->handler = previous;
    return result;
}
